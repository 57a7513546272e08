#pragma once
// Root classes of the object model: every graphic, picture holder and component is a
// TPersistent, so any of them can be copied into another by Assign with the same rules.

#include <QString>

#include <functional>

class TObject {
 public:
  virtual ~TObject() = default;
  // The class name as the program shows it in messages ("TPicture", "TJPEGImage").
  virtual QString ClassName() const { return QStringLiteral("TObject"); }
};

// The plain notification every object model event uses: who sent it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  QString ClassName() const override { return QStringLiteral("TPersistent"); }

  // Copies Source into this object. The base hands the work to the source's AssignTo;
  // a null source raises the assignment error naming it "nil".
  virtual void Assign(TPersistent* Source);

 protected:
  // Copies this object into Dest. The base raises the assignment error
  // "<source class> kann nicht zu  <target class> zugewiesen werden".
  virtual void AssignTo(TPersistent* Dest);

  friend class TPersistentAccess;
};

// Lets a class call AssignTo on another object: AssignTo stays protected so that callers
// copy through Assign, yet a holder that cannot take a source itself (a picture holder
// given a graphic) must be able to ask the source to copy itself into it.
class TPersistentAccess {
 public:
  static void AssignTo(TPersistent* source, TPersistent* dest) { source->AssignTo(dest); }
};
