#pragma once
// Resource and control ids, shared by the resource script and the code. Plain
// macros because the resource compiler reads this file too.

#define SORRELWICK_TITLE_STRING 103
#define SORRELWICK_ICON 107
#define SORRELWICK_ICON_SMALL 108
#define SORRELWICK_MAIN_WINDOW 130

#define SORRELWICK_LOAD_BUTTON 1004
#define SORRELWICK_EXTRACT_BUTTON 1005
#define SORRELWICK_REPORT_LIST 1013
#define SORRELWICK_REPLACE_BUTTON 1015
#define SORRELWICK_CLEAR_BUTTON 1016
#define SORRELWICK_READ_ME_BUTTON 1019
#define SORRELWICK_SPECULARITY_BUTTON 1021
