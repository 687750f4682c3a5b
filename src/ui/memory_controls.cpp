#include "ui/memory_controls.h"

#include <algorithm>

namespace kz {

std::string MemoryControls::Text(int id) const { return at(id).text; }

void MemoryControls::SetText(int id, const std::string& text) {
  controls[id].text = text;
  if (onTextChanged) onTextChanged(id);
}

bool MemoryControls::IsChecked(int id) const { return at(id).checked; }

void MemoryControls::SetChecked(int id, bool checked) { controls[id].checked = checked; }

bool MemoryControls::IsEnabled(int id) const { return at(id).enabled; }

void MemoryControls::Enable(int id, bool enabled) { controls[id].enabled = enabled; }

void MemoryControls::SetRange(int spinId, int lower, int upper) {
  controls[spinId].lower = lower;
  controls[spinId].upper = upper;
}

void MemoryControls::RemoveAllTabs(int id) {
  tabs[id].clear();
  selectedTab[id] = -1;
}

void MemoryControls::InsertTab(int id, int index, const std::string& text) {
  auto& row = tabs[id];
  const auto at = static_cast<std::size_t>(std::clamp<int>(index, 0, static_cast<int>(row.size())));
  row.insert(row.begin() + static_cast<std::ptrdiff_t>(at), text);
}

int MemoryControls::SelectedTab(int id) const {
  const auto it = selectedTab.find(id);
  return it == selectedTab.end() ? -1 : it->second;
}

void MemoryControls::ClearList(int id) {
  lists[id].clear();
  selectedItem[id] = -1;
}

int MemoryControls::SelectedListItem(int id) const {
  const auto it = selectedItem.find(id);
  return it == selectedItem.end() ? -1 : it->second;
}

const MemoryControls::Control& MemoryControls::at(int id) const {
  static const Control kUntouched;
  const auto it = controls.find(id);
  return it == controls.end() ? kUntouched : it->second;
}

std::vector<std::string> MemoryControls::TabTexts(int id) const {
  const auto it = tabs.find(id);
  return it == tabs.end() ? std::vector<std::string>() : it->second;
}

}  // namespace kz
