#include "actions/one_file_dialog.h"

#include "actions/file_dialogs.h"
#include "framework/application_services.h"
#include "framework/dialogs.h"
#include "platform/dialog_names.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/lossless_utf8.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// The words of Qt's file dialog, so that both dialogs read alike in whatever language
// Qt's own texts are loaded.
QString FileDialogText(const char* text) { return QCoreApplication::translate("QFileDialog", text); }

class OneFileDialog : public QDialog {
 public:
  OneFileDialog(QWidget* owner, const QString& title, QString folder, QString name);

  QString Path() const { return platform::JoinPath(folder_, name_); }
  bool Listed() const { return list_->count() > 0; }

 private:
  void showMenu(const QPoint& at);
  void renameListedFile(QListWidgetItem* item);
  void deleteListedFile();
  void report(const QString& failed, int error);
  void confirm();

  QString folder_;
  QString name_;
  QListWidget* list_;
  QPushButton* open_;
};

OneFileDialog::OneFileDialog(QWidget* owner, const QString& title, QString folder, QString name)
    : QDialog(owner), folder_(std::move(folder)), name_(std::move(name)), list_(new QListWidget(this)) {
  setWindowTitle(title);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
  open_ = buttons->button(QDialogButtonBox::Open);
  open_->setText(FileDialogText("&Open"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { confirm(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(FileDialogText("Look in:") + QLatin1Char(' ') + platform::ReadableText(folder_), this));
  layout->addWidget(list_);
  layout->addWidget(buttons);

  if (platform::FileExists(Path())) {
    const QIcon icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    auto* item = new QListWidgetItem(icon, platform::ShownName(name_), list_);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    list_->setCurrentItem(item);
  }
  open_->setEnabled(Listed());
  list_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) { showMenu(at); });
  connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { renameListedFile(item); });
  connect(list_, &QListWidget::itemActivated, this, [this] { confirm(); });
  // Only while the list has the focus: in the name's editor the key deletes characters.
  auto* deleteKey = new QShortcut(QKeySequence::Delete, list_);
  deleteKey->setContext(Qt::WidgetShortcut);
  connect(deleteKey, &QShortcut::activated, this, [this] { deleteListedFile(); });
  resize(480, 260);
}

void OneFileDialog::showMenu(const QPoint& at) {
  QListWidgetItem* item = list_->itemAt(at);
  if (!item) return;
  QMenu menu(this);
  menu.addAction(FileDialogText("&Rename"), this, [this, item] { list_->editItem(item); });
  menu.addAction(FileDialogText("&Delete"), this, [this] { deleteListedFile(); });
  menu.exec(list_->viewport()->mapToGlobal(at));
}

// The name as typed becomes the file's name (UTF-8); a refused one is put back.
void OneFileDialog::renameListedFile(QListWidgetItem* item) {
  const int error = platform::RenameEntry(folder_, name_, item->text());
  if (error == 0) {
    name_ = item->text();
    return;
  }
  const QSignalBlocker quiet(list_);
  item->setText(platform::ShownName(name_));
  report(QStringLiteral("%1 kann nicht umbenannt werden"), error);
}

void OneFileDialog::deleteListedFile() {
  QListWidgetItem* item = list_->currentItem();
  if (!item) return;
  const QString question = FileDialogText("Are you sure you want to delete '%1'?").arg(platform::ShownName(name_));
  if (Dialogs().MessageBox(this, question, FileDialogText("Delete"), MessageIcon::Warning, MessageButtons::YesNo) != IDYES) {
    return;
  }
  const int error = platform::RemoveFile(Path());
  if (error != 0) return report(QStringLiteral("%1 kann nicht gelöscht werden"), error);
  delete item;
  open_->setEnabled(false);
}

void OneFileDialog::report(const QString& failed, int error) {
  const Exception failure(platform::WithWriteFailureReason(failed.arg(platform::ReadableText(Path())), error));
  const ApplicationServices* application = RegisteredApplication();
  ShowErrorReport(this, application ? application->Title() : QString(), failure);
}

void OneFileDialog::confirm() {
  if (Listed()) accept();
}

}  // namespace

bool ExecuteOneFileDialog(QWidget* owner, FileDialogRequest& request, const QString& folder, const QString& name) {
  OneFileDialog dialog(owner, request.title, folder, name);
  if (dialog.exec() != QDialog::Accepted) return false;
  request.fileName = dialog.Path();
  return true;
}
