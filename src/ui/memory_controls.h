#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace kz {

// A window's controls held in memory: for running the editor's operations
// where there is no window (the command-line tool, tests). Every text write
// raises the change notification, as typing and the program's writes do in
// the real window.
class MemoryControls : public Controls {
 public:
  struct Control {
    std::string text;
    bool checked = false;
    bool enabled = true;
    int lower = 0;
    int upper = 0;
    int redraws = 0;
  };

  std::string Text(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  bool IsEnabled(int id) const override;
  void Enable(int id, bool enabled) override;
  void Focus(int id) override { focus = id; }
  void SetRange(int spinId, int lower, int upper) override;
  void Redraw(int id) override { ++controls[id].redraws; }
  void RemoveAllTabs(int id) override;
  void InsertTab(int id, int index, const std::string& text) override;
  void SelectTab(int id, int index) override { selectedTab[id] = index; }
  int SelectedTab(int id) const override;
  void ClearList(int id) override;
  void AddListItem(int id, const std::string& text) override { lists[id].push_back(text); }
  void SelectListItem(int id, int index) override { selectedItem[id] = index; }
  int SelectedListItem(int id) const override;
  void StartTimer(int timerId, int) override { timers.insert(timerId); }
  void StopTimer(int timerId) override { timers.erase(timerId); }

  // A control as it stands; an untouched one has the defaults.
  const Control& at(int id) const;
  std::vector<std::string> TabTexts(int id) const;

  std::map<int, Control> controls;
  std::map<int, std::vector<std::string>> tabs;
  std::map<int, int> selectedTab;
  std::map<int, std::vector<std::string>> lists;
  std::map<int, int> selectedItem;
  std::set<int> timers;
  int focus = 0;
  std::function<void(int id)> onTextChanged;
};

}  // namespace kz
