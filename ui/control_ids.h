// Identifiers of the main window, its controls and its menu items, shared by
// the program and by the tests that drive it from outside.
#pragma once

namespace ui {

// Window classes.
inline constexpr wchar_t kMainWindowClass[] = L"TesmarinMainWindow";
inline constexpr wchar_t kLabelClass[] = L"TesmarinLabel";  // the three self-drawn labels
inline constexpr wchar_t kMainWindowTitle[] = L"Tesmarin-查询";

// Child-window ids (GetDlgCtrlID / GetDlgItem) of the seven controls.
inline constexpr int kDynastyComboId = 101;  // 组合框1, drop-down list of dynasties
inline constexpr int kEraComboId = 102;      // 组合框2, drop-down list of eras
inline constexpr int kCountEditId = 103;     // 编辑框1, the count box
inline constexpr int kQueryButtonId = 104;   // 按钮1, "查询"
inline constexpr int kYearLabelId = 105;     // 标签1, "年"
inline constexpr int kHintLabelId = 106;     // 标签2, hint on negative years
inline constexpr int kEraLabelId = 107;      // 标签3, era name in front of the count box

// Command ids of the two items of the menu "关于".
inline constexpr int kSoftwareNotesMenuId = 201;  // "软件说明"
inline constexpr int kAboutProgramMenuId = 202;   // "关于本程序"

}  // namespace ui
