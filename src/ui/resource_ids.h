#pragma once
// Resource and control ids, shared by the resource script and the code. Plain
// macros because the resource compiler reads this file too.

#define SORRELWICK_TITLE_STRING 103
#define SORRELWICK_READ_ME_DIALOG 103
#define SORRELWICK_ICON 107
#define SORRELWICK_ICON_SMALL 108
#define SORRELWICK_MAIN_WINDOW 130
#define SORRELWICK_SPECULARITY_DIALOG 131
#define SORRELWICK_READ_ME_TEXT 132
#define SORRELWICK_RESTORE_DIALOG 133
#define SORRELWICK_MOD_QUESTION_DIALOG 140
#define SORRELWICK_MOD_DETAILS_DIALOG 141

#define SORRELWICK_LOAD_BUTTON 1004
#define SORRELWICK_EXTRACT_BUTTON 1005
#define SORRELWICK_REPORT_LIST 1013
#define SORRELWICK_REPLACE_BUTTON 1015
#define SORRELWICK_CLEAR_BUTTON 1016
#define SORRELWICK_READ_ME_BUTTON 1019
#define SORRELWICK_READ_ME_EDIT 1020
#define SORRELWICK_SPECULARITY_BUTTON 1021
#define SORRELWICK_PREVIEW_BUTTON 1029
#define SORRELWICK_RESTORE_BUTTON 1030
#define SORRELWICK_BACKUP_LIST 1031
#define SORRELWICK_BACKUP_SUMMARY 1032
#define SORRELWICK_COMPARE_BUTTON 1033
#define SORRELWICK_CONVERT_CHECK 1034
#define SORRELWICK_COPY_REPORT 1035  // a command of the report's menu and of Ctrl+C
#define SORRELWICK_APPLY_MOD_BUTTON 1036
#define SORRELWICK_SAVE_MOD_BUTTON 1037

// The specularity fields: shininess and amplitude of each group.
#define SORRELWICK_BLACK_SHININESS 1023
#define SORRELWICK_BOARD_SHININESS 1024
#define SORRELWICK_WHITE_SHININESS 1025
#define SORRELWICK_WHITE_AMPLITUDE 1026
#define SORRELWICK_BLACK_AMPLITUDE 1027
#define SORRELWICK_BOARD_AMPLITUDE 1028

// The gallery of textures: its tiles, the view of the selected texture with
// its channel and size switches, and the commands of a tile's menu.
#define SORRELWICK_GALLERY_LIST 1036
#define SORRELWICK_GALLERY_VIEW 1037
#define SORRELWICK_VIEW_COLOUR 1038
#define SORRELWICK_VIEW_ALPHA 1039
#define SORRELWICK_VIEW_BOTH 1040
#define SORRELWICK_VIEW_FITTED 1041
#define SORRELWICK_WEB_PAGE_BUTTON 1042
#define SORRELWICK_REPLACE_TEXTURE 1043
#define SORRELWICK_EXTRACT_TEXTURE 1044
// Under the tiles, the last action's outcome; beside the view, the gallery's
// own "Convert on import", in step with the main window's.
#define SORRELWICK_GALLERY_STATUS 1045
#define SORRELWICK_GALLERY_CONVERT 1046
// Under the view and on a tile's menu, the selected texture opened in the
// user's image editor; under "Convert on import", scaling to the texture's
// sides.
#define SORRELWICK_EDIT_TEXTURE 1047
#define SORRELWICK_GALLERY_FIT 1048

// The question before a mod is applied, and the title and author asked for
// before changes are saved as a mod.
#define SORRELWICK_MOD_QUESTION_TEXT 1060
#define SORRELWICK_APPLY_ALL_BUTTON 1061
#define SORRELWICK_MOD_TITLE_EDIT 1062
#define SORRELWICK_MOD_AUTHOR_EDIT 1063

// The Mods dialog: the mods of one folder and what can be done with each.
#define SORRELWICK_MODS_DIALOG 150
#define SORRELWICK_MODS_FOLDER_TEXT 1100
#define SORRELWICK_MODS_FOLDER_BUTTON 1101
#define SORRELWICK_MODS_LIST 1102
#define SORRELWICK_MODS_STATUS 1103
#define SORRELWICK_MODS_APPLY 1104
#define SORRELWICK_MODS_TAKE_OUT 1105
#define SORRELWICK_MODS_SHOW_PAGE 1106
#define SORRELWICK_MODS_ADD 1107
