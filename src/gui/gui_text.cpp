#include "gui/gui_text.h"

#include "platform/text_encoding.h"

namespace kz {

QString FromSystemText(const std::string& cp932) {
  const auto utf8 = Cp932ToUtf8(cp932);
  return utf8 ? QString::fromStdString(*utf8) : QString(QChar::ReplacementCharacter);
}

std::string ToSystemText(const QString& text) {
  if (auto whole = Utf8ToCp932(text.toStdString())) return *whole;
  // Typed characters that CP932 lacks become '?', one by one, so that the
  // rest of the text survives.
  std::string cp932;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    cp932 += Utf8ToCp932(text.mid(i, width).toStdString()).value_or("?");
    i += width;
  }
  return cp932;
}

}  // namespace kz
