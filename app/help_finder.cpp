#include "app/help_finder.h"

#include "framework/application.h"
#include "framework/form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTopicRole = Qt::UserRole;

QPointer<HelpFinderWindow> finder;

void AddTopicItem(QListWidget* list, const platform::HelpFile& file, int topic) {
  auto* item = new QListWidgetItem(file.topics[static_cast<size_t>(topic)].title, list);
  item->setData(kTopicRole, topic);
}

int TopicOf(const QListWidgetItem* item) { return item ? item->data(kTopicRole).toInt() : -1; }

bool RunHelpCommand(const QString& fileName, unsigned command, intptr_t) {
  if (command == HELP_QUIT) {
    if (finder) finder->close();
    return true;
  }
  if (command != HELP_FINDER && command != HELP_CONTENTS) return false;
  if (!finder) {
    TForm* main = Application()->MainForm();
    finder = new HelpFinderWindow(main ? main->Widget() : nullptr);
  }
  return finder->Open(fileName);
}

}  // namespace

HelpFinderWindow::HelpFinderWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("HelpFinder"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  resize(760, 520);

  tabs_ = new QTabWidget;
  tabs_->addTab(createContentsTab(), QStringLiteral("&Inhalt"));
  tabs_->addTab(createIndexTab(), QStringLiteral("In&dex"));
  tabs_->addTab(createSearchTab(), QStringLiteral("&Suchen"));

  topicView_ = new QTextBrowser;
  topicView_->setOpenLinks(false);
  QObject::connect(topicView_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme() == QLatin1String("topic")) ShowTopic(file_.TopicIndex(url.path()));
  });

  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(topicView_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({240, 520});
  // Each page starts with its input ready for typing.
  QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 0) contents_->setFocus();
    if (page == 1) indexInput_->setFocus();
    if (page == 2) searchInput_->setFocus();
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);
}

QWidget* HelpFinderWindow::createContentsTab() {
  contents_ = new QTreeWidget;
  contents_->setHeaderHidden(true);
  QObject::connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item && item->data(0, kTopicRole).isValid()) ShowTopic(item->data(0, kTopicRole).toInt());
  });
  return contents_;
}

QWidget* HelpFinderWindow::createIndexTab() {
  auto* page = new QWidget;
  indexInput_ = new QLineEdit;
  indexInput_->setPlaceholderText(QStringLiteral("Stichwort eingeben"));
  indexList_ = new QListWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("Geben Sie die ersten Buchstaben des gesuchten Worts ein:")));
  layout->addWidget(indexInput_);
  layout->addWidget(indexList_);
  QObject::connect(indexInput_, &QLineEdit::textEdited, this, [this](const QString& typed) { followIndex(typed); });
  QObject::connect(indexInput_, &QLineEdit::returnPressed, this, [this] {
    if (indexList_->currentItem()) ShowTopic(TopicOf(indexList_->currentItem()));
  });
  QObject::connect(indexList_, &QListWidget::currentItemChanged, this,
                   [this](QListWidgetItem* item) { ShowTopic(TopicOf(item)); });
  return page;
}

QWidget* HelpFinderWindow::createSearchTab() {
  auto* page = new QWidget;
  searchInput_ = new QLineEdit;
  searchInput_->setPlaceholderText(QStringLiteral("Suchbegriffe"));
  auto* button = new QPushButton(QStringLiteral("Themen &anzeigen"));
  searchResults_ = new QListWidget;
  auto* row = new QHBoxLayout;
  row->addWidget(searchInput_);
  row->addWidget(button);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("Geben Sie die zu suchenden Wörter ein:")));
  layout->addLayout(row);
  layout->addWidget(searchResults_);
  QObject::connect(searchInput_, &QLineEdit::returnPressed, this, [this] { RunSearch(); });
  QObject::connect(button, &QPushButton::clicked, this, [this] { RunSearch(); });
  QObject::connect(searchResults_, &QListWidget::currentItemChanged, this,
                   [this](QListWidgetItem* item) { ShowTopic(TopicOf(item)); });
  return page;
}

bool HelpFinderWindow::Open(const QString& fileName) {
  QString error;
  std::optional<platform::HelpFile> file = platform::LoadHelpFile(fileName, &error);
  if (!file) {
    Dialogs().MessageBox(parentWidget(), error, QStringLiteral("Hilfe"), MessageIcon::Error,
                                   MessageButtons::Ok);
    return false;
  }
  fileName_ = fileName;
  file_ = std::move(*file);
  shownTopic_ = -1;
  fillContents();
  fillIndex();
  searchResults_->clear();
  ShowTopic(0);
  tabs_->setCurrentIndex(0);
  if (!isVisible()) placeOnScreen();
  show();
  raise();
  activateWindow();
  contents_->setFocus();
  return true;
}

// Centred on the screen, where the window manager would otherwise put it anywhere.
void HelpFinderWindow::placeOnScreen() {
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  resize(std::min(width(), area.width()), std::min(height(), area.height()));
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void HelpFinderWindow::fillContents() {
  const QSignalBlocker blocker(contents_);
  contents_->clear();
  std::map<QString, QTreeWidgetItem*> books;
  for (size_t i = 0; i < file_.topics.size(); ++i) {
    const platform::HelpTopic& topic = file_.topics[i];
    QTreeWidgetItem* parent = nullptr;
    if (!topic.book.isEmpty()) {
      QTreeWidgetItem*& book = books[topic.book];
      if (!book) {
        book = new QTreeWidgetItem(contents_, {topic.book});
        book->setExpanded(true);
      }
      parent = book;
    }
    auto* item = parent ? new QTreeWidgetItem(parent, {topic.title}) : new QTreeWidgetItem(contents_, {topic.title});
    item->setData(0, kTopicRole, static_cast<int>(i));
  }
  contents_->expandAll();
}

void HelpFinderWindow::fillIndex() {
  const QSignalBlocker blocker(indexList_);
  indexList_->clear();
  indexInput_->clear();
  index_ = platform::HelpIndex(file_);
  for (const platform::HelpIndexEntry& entry : index_) {
    auto* item = new QListWidgetItem(entry.keyword, indexList_);
    item->setData(kTopicRole, entry.topics.front());
  }
}

// Moves the index to the first keyword that starts with what was typed.
void HelpFinderWindow::followIndex(const QString& typed) {
  for (int row = 0; row < indexList_->count(); ++row) {
    if (indexList_->item(row)->text().startsWith(typed, Qt::CaseInsensitive)) {
      indexList_->setCurrentRow(row);
      indexList_->scrollToItem(indexList_->item(row), QAbstractItemView::PositionAtTop);
      return;
    }
  }
}

void HelpFinderWindow::RunSearch() {
  const QSignalBlocker blocker(searchResults_);
  searchResults_->clear();
  const std::vector<int> found = platform::SearchTopics(file_, searchInput_->text());
  for (int topic : found) AddTopicItem(searchResults_, file_, topic);
  if (found.empty()) {
    topicView_->setHtml(QStringLiteral("<p>Kein Thema enthält alle gesuchten Wörter.</p>"));
    shownTopic_ = -1;
    setCaptionFor(QStringLiteral("Keine Treffer"));
    return;
  }
  searchResults_->setCurrentRow(0);
  ShowTopic(found.front());
}

void HelpFinderWindow::ShowTopic(int index) {
  if (index < 0 || index >= static_cast<int>(file_.topics.size())) return;
  shownTopic_ = index;
  const platform::HelpTopic& topic = file_.topics[static_cast<size_t>(index)];
  topicView_->setHtml(platform::TopicHtml(topic));
  setCaptionFor(topic.title);
}

void HelpFinderWindow::setCaptionFor(const QString& shown) {
  setWindowTitle(QStringLiteral("Hilfethemen: %1 - %2").arg(file_.title.isEmpty() ? fileName_ : file_.title, shown));
}

void HelpFinderWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void InstallHelpEngine() { Application()->HelpEngine = RunHelpCommand; }

HelpFinderWindow* TopicsFinder() { return finder; }
