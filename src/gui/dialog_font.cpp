#include "gui/dialog_font.h"

#include <QStringList>

namespace kz {
namespace {

// Pixels rather than points: the layout is computed from this font, and a
// display's reported resolution must not make the text outgrow its controls.
constexpr int kPixelSize = 12;

}  // namespace

QFont DialogFont() {
  QFont font;
  // IPAPGothic is installed by the setup script; the others are common
  // Japanese gothics on other distributions.
  font.setFamilies({"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "Noto Sans JP", "VL PGothic",
                    "TakaoPGothic"});
  font.setPixelSize(kPixelSize);
  return font;
}

}  // namespace kz
