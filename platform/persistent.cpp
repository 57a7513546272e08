#include "platform/persistent.h"

#include "platform/errors.h"

void TPersistent::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    throw EConvertError::CannotAssign(QStringLiteral("nil"), ClassName());
  }
  TPersistentAccess::AssignTo(Source, this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  throw EConvertError::CannotAssign(ClassName(), Dest ? Dest->ClassName() : QStringLiteral("nil"));
}
