// CommandIds.h - command ids of menus, buttons, accelerators and pop-up menus,
// and the control ids of the forms (also each control's objectName).
#pragma once

// Commands of menu 128, the tool bar and the accelerators.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_VERSE_COPY = 32771;
inline constexpr int ID_VERSE_SAVE = 32772;
inline constexpr int ID_VIEW_COLORS = 32773;
inline constexpr int ID_VERSE_GOTO = 32774;  // Edit "이동...", Ctrl+L
inline constexpr int ID_EDIT_FIND = 57636;   // Edit "찾기...", Ctrl+F, the fourth button
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;

// Pop-up menu commands; the navigator form takes the whole range.
inline constexpr int ID_POPUP_FIRST = 10000;
inline constexpr int ID_POPUP_COPY = 10001;
inline constexpr int ID_POPUP_WHOLE_CHAPTER = 10002;
inline constexpr int ID_POPUP_COPY_ALL = 10003;
inline constexpr int ID_POPUP_SAVE = 10004;
inline constexpr int ID_POPUP_LAST = 10100;

// Navigator form.
inline constexpr int IDC_RADIO_OLD = 1000;
inline constexpr int IDC_RADIO_NEW = 1001;
inline constexpr int IDC_COMBO_BOOK = 1002;
inline constexpr int IDC_LIST_REF = 1003;
inline constexpr int IDC_EDIT_TEXT = 1005;
// Chapter reader.
inline constexpr int IDC_EDIT_CHAPTER = 1007;
// Colours and fonts dialog.
inline constexpr int IDC_COMBO_MAINSIZE = 1008;
inline constexpr int IDC_COMBO_CHAPTERSIZE = 1009;
inline constexpr int IDC_COMBO_FONT = 1010;
inline constexpr int IDC_SCROLL_RED = 1021;
inline constexpr int IDC_SCROLL_GREEN = 1022;
inline constexpr int IDC_SCROLL_BLUE = 1023;
inline constexpr int IDC_STATIC_RED = 1024;
inline constexpr int IDC_STATIC_GREEN = 1025;
inline constexpr int IDC_STATIC_BLUE = 1026;
inline constexpr int IDC_BUTTON_PREVIEW = 1027;
inline constexpr int IDC_COMBO_ITEM = 1036;
