#include "model/ini_text.h"

#include <cstddef>
#include <vector>

#include "platform/text_encoding.h"

namespace kz {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsBlankText(std::string_view text) {
  for (const char c : text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsLead(char c) { return IsCp932LeadByte(static_cast<unsigned char>(c)); }

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The second byte of a two-byte character may fall in the ASCII letter range;
// it is compared as is, or two different characters would match.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsLead(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// Position of `wanted` as a character of its own, never as the second byte
// of a two-byte character (']' and '[' can be one).
std::size_t FindChar(std::string_view text, char wanted) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == wanted) return i;
    if (IsLead(text[i])) ++i;
  }
  return kNone;
}

struct Line {
  std::size_t begin;       // first byte
  std::size_t contentEnd;  // where the line end (LF or CR LF) starts
  std::size_t end;         // past the line end
};

std::vector<Line> SplitLines(std::string_view file) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < file.size()) {
    const std::size_t lf = file.find('\n', begin);
    const std::size_t end = lf == kNone ? file.size() : lf + 1;
    std::size_t contentEnd = lf == kNone ? file.size() : lf;
    if (contentEnd > begin && file[contentEnd - 1] == '\r') --contentEnd;
    lines.push_back({begin, contentEnd, end});
    begin = end;
  }
  return lines;
}

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;       // section or key name, trimmed
  std::size_t valueBegin = 0;  // key lines: file offset of the value, past blanks
};

ParsedLine Parse(std::string_view file, const Line& line) {
  const std::string_view content = file.substr(line.begin, line.contentEnd - line.begin);
  const std::string_view text = Trim(content);
  ParsedLine parsed;
  if (text.empty()) {
    parsed.kind = LineKind::kBlank;
  } else if (text.front() == ';') {
    parsed.kind = LineKind::kComment;
  } else if (const std::size_t close = text.front() == '[' ? FindChar(text, ']') : kNone;
             close != kNone) {
    parsed.kind = LineKind::kSection;
    parsed.name = Trim(text.substr(1, close - 1));
  } else if (const std::size_t equals = FindChar(content, '='); equals != kNone) {
    parsed.kind = LineKind::kKey;
    parsed.name = Trim(content.substr(0, equals));
    std::size_t value = equals + 1;
    while (value < content.size() && IsBlank(content[value])) ++value;
    parsed.valueBegin = line.begin + value;
  }
  return parsed;
}

// Lines [header, end) of the first section with the name.
struct SectionSpan {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionSpan> FindSection(std::string_view file, const std::vector<Line>& lines,
                                       std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine header = Parse(file, lines[i]);
    if (header.kind != LineKind::kSection || !SameName(header.name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && Parse(file, lines[end]).kind != LineKind::kSection) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(std::string_view file, const std::vector<Line>& lines,
                                   const SectionSpan& span, std::string_view key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const ParsedLine parsed = Parse(file, lines[i]);
    if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) return i;
  }
  return std::nullopt;
}

// What the last line needs before anything is appended after it: nothing
// when it ends in LF, the LF that completes a bare CR (which already ends its
// content), else the file's line end.
std::string_view LineEndToAdd(std::string_view file, const Line& line, std::string_view eol) {
  if (line.end > line.begin && file[line.end - 1] == '\n') return {};
  return line.contentEnd < line.end ? "\n" : eol;
}

std::string_view LineEndOf(std::string_view file) {
  const std::size_t lf = file.find('\n');
  return lf != kNone && lf > 0 && file[lf - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view file, std::string_view section,
                                        std::string_view key) {
  const std::vector<Line> lines = SplitLines(file);
  const auto span = FindSection(file, lines, Trim(section));
  if (!span) return std::nullopt;
  const auto index = FindKey(file, lines, *span, Trim(key));
  if (!index) return std::nullopt;
  const Line& line = lines[*index];
  const std::size_t begin = Parse(file, line).valueBegin;
  std::string_view value = Trim(file.substr(begin, line.contentEnd - begin));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const std::string_view eol = LineEndOf(file);
  const std::vector<Line> lines = SplitLines(file);
  std::string result;

  const auto span = FindSection(file, lines, section);
  if (!span) {
    result = file;
    if (!lines.empty()) {
      const Line& last = lines.back();
      result += LineEndToAdd(file, last, eol);
      if (!IsBlankText(file.substr(last.begin, last.contentEnd - last.begin))) result += eol;
    }
    result.append("[").append(section).append("]").append(eol);
    result.append(key).append("=").append(value).append(eol);
    return result;
  }

  if (const auto index = FindKey(file, lines, *span, key)) {
    // Only the value changes: the key's spelling and the blanks before the
    // value stay as the user left them.
    const Line& line = lines[*index];
    result.append(file.substr(0, Parse(file, line).valueBegin));
    result.append(value);
    result.append(file.substr(line.contentEnd));
    return result;
  }

  std::size_t after = span->header;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (Parse(file, lines[i]).kind != LineKind::kBlank) after = i;
  }
  const Line& line = lines[after];
  result.append(file.substr(0, line.end));
  result.append(LineEndToAdd(file, line, eol));
  result.append(key).append("=").append(value).append(eol);
  result.append(file.substr(line.end));
  return result;
}

// True when the text, as it is written, ends in the first byte of a two-byte
// character: that byte would take the ']', '=' or line end after it.
bool EndsInHalfCharacter(std::string_view text) {
  text = Trim(text);
  return Cp932Prefix(text, text.size()).size() != text.size();
}

bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value) {
  for (const std::string_view text : {section, key, value}) {
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != kNone) return false;
    if (EndsInHalfCharacter(text)) return false;
  }
  const std::string_view name = Trim(key);
  return FindChar(section, ']') == kNone && !name.empty() && FindChar(name, '=') == kNone &&
         name.front() != ';' && name.front() != '[';
}

}  // namespace kz
