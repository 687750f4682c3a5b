#pragma once

#include <optional>
#include <string>

namespace kz {

// One window's controls, addressed by id. Text is system text (CP932).
// Writing a field's text raises the same change notification as typing;
// setting a check box or a tab from the program raises none, as with the
// platform's own controls.
class Controls {
 public:
  virtual ~Controls() = default;

  virtual std::string Text(int id) const = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsEnabled(int id) const = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual void Focus(int id) = 0;
  virtual void SetRange(int spinId, int lower, int upper) = 0;
  virtual void Redraw(int id) = 0;

  virtual void RemoveAllTabs(int id) = 0;
  virtual void InsertTab(int id, int index, const std::string& text) = 0;
  virtual void SelectTab(int id, int index) = 0;  // -1 selects none
  virtual int SelectedTab(int id) const = 0;      // -1 when none

  // Drop-down lists: items in the order added, index -1 selects none.
  virtual void ClearList(int id) = 0;
  virtual void AddListItem(int id, const std::string& text) = 0;
  virtual void SelectListItem(int id, int index) = 0;
  virtual int SelectedListItem(int id) const = 0;

  virtual void StartTimer(int timerId, int milliseconds) = 0;
  virtual void StopTimer(int timerId) = 0;

  // A number field read as a signed decimal; text that is not one reads 0.
  int ReadNumber(int id) const;
  void WriteNumber(int id, int value);
  void ClearField(int id) { SetText(id, std::string()); }
};

// The value of a number field's text: optional blanks, an optional sign and
// decimal digits, optional trailing blanks. Anything else, or a value that
// does not fit 32 bits, reads 0.
int ParseFieldNumber(const std::string& text);
// The same, but nullopt where ParseFieldNumber reads 0 for want of a number.
std::optional<int> ParseStrictFieldNumber(const std::string& text);

}  // namespace kz
