#pragma once
// An image list: the glyphs that menu items show, each at the place its index names.
// A glyph may hold several pixel sizes of one picture, so it stays crisp on screens
// with a scale factor.

#include "framework/component.h"

#include <QIcon>

#include <map>

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* AOwner) : TComponent(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TImageList"); }

  void SetGlyph(int index, const QIcon& glyph) { glyphs_[index] = glyph; }
  // The glyph at the index; a null icon where there is none.
  QIcon Glyph(int index) const {
    const auto found = glyphs_.find(index);
    return found == glyphs_.end() ? QIcon() : found->second;
  }

 private:
  std::map<int, QIcon> glyphs_;
};
