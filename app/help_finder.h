#pragma once
// The help engine: the help command HELP_FINDER opens the topics finder for the help
// file, a window with the contents, the index and a full-text search beside the text
// of the chosen topic. Its caption names the file's title and the topic shown.

#include "platform/help_file.h"

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

inline constexpr unsigned HELP_CONTEXT = 0x0001;
inline constexpr unsigned HELP_QUIT = 0x0002;
inline constexpr unsigned HELP_CONTENTS = 0x0003;
inline constexpr unsigned HELP_FINDER = 0x000B;

class HelpFinderWindow : public QWidget {
 public:
  explicit HelpFinderWindow(QWidget* owner);

  // Shows the file's topics; false (and the window stays closed) when it has none.
  bool Open(const QString& fileName);
  const QString& FileName() const { return fileName_; }
  const platform::HelpFile& File() const { return file_; }

  // The parts of the window, for the keyboard and for tests.
  QTabWidget* Tabs() const { return tabs_; }
  QTreeWidget* Contents() const { return contents_; }
  QLineEdit* IndexInput() const { return indexInput_; }
  QListWidget* IndexList() const { return indexList_; }
  QLineEdit* SearchInput() const { return searchInput_; }
  QListWidget* SearchResults() const { return searchResults_; }
  QTextBrowser* TopicView() const { return topicView_; }
  // The topic shown, or -1.
  int ShownTopic() const { return shownTopic_; }

  void ShowTopic(int index);
  void RunSearch();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* createContentsTab();
  QWidget* createIndexTab();
  QWidget* createSearchTab();
  void fillContents();
  void fillIndex();
  void followIndex(const QString& typed);
  void setCaptionFor(const QString& shown);
  void placeOnScreen();

  QString fileName_;
  platform::HelpFile file_;
  std::vector<platform::HelpIndexEntry> index_;
  QTabWidget* tabs_;
  QTreeWidget* contents_;
  QLineEdit* indexInput_;
  QListWidget* indexList_;
  QLineEdit* searchInput_;
  QListWidget* searchResults_;
  QTextBrowser* topicView_;
  int shownTopic_ = -1;
};

// Makes the topics finder the application's help engine; its window belongs to the
// main form.
void InstallHelpEngine();
// The finder window while one exists (tests).
HelpFinderWindow* TopicsFinder();
