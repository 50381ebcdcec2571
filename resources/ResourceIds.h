/* Numbers shared by the resource script and the program: plain macros,
   because the resource compiler reads this file too. */
#ifndef HARVEX_RESOURCE_IDS_H
#define HARVEX_RESOURCE_IDS_H

#define IDR_MAINMENU 1
#define IDI_MAIN 1
#define IDD_EXPORT 2
#define IDD_DISPLAY 15
#define IDD_ABOUT 41

/* Commands of the main menu and the accelerators. */
#define CMD_HELP_KEY 9
#define CMD_EXIT 1115
#define CMD_HELP_CONTENTS 1250
#define CMD_ABOUT 1251
#define CMD_EXPORT 32006
#define CMD_VIEW 32007

/* The "&Window" menu; the frame carries them out. */
#define CMD_TILE 32001
#define CMD_CASCADE 32003
#define CMD_CLOSE_ALL 32005

/* A chart window's own, from its menu or the accelerators. */
#define CMD_CHART_EXPORT 32010
#define CMD_CHART_COPY 32011
#define CMD_CHART_WHOLE 32012

/* Dialog buttons. */
#define IDC_HELPBUTTON 9

/* "Export" form. */
#define IDC_START_TIME 100
#define IDC_START_DATE 101
#define IDC_END_TIME 102
#define IDC_END_DATE 103
#define IDC_TIMEFMT_FRAME 104
#define IDC_TIMEFMT_FIRST 109
#define IDC_TIMEFMT_LAST 112
#define IDC_DATEFMT_FIRST 113
#define IDC_DATEFMT_LAST 115
#define IDC_INTERVAL_FRAME 116
#define IDC_INTERVAL_FIRST 117
#define IDC_INTERVAL_LAST 122
#define IDC_DATE_ORDER 123

/* "DISPLAY" form. */
#define IDC_DATE_FRAME 105
#define IDC_STAMP_FRAME 106
#define IDC_CLOCK_12 200
#define IDC_CLOCK_24 201
#define IDC_ORDER_MONTH 202
#define IDC_ORDER_DAY 203

/* "About" box. */
#define IDC_ABOUT_TITLE 101
#define IDC_ABOUT_COMPANY 102
#define IDC_ABOUT_ADDR1 103
#define IDC_ABOUT_ADDR2 104
#define IDC_ABOUT_PHONE 105
#define IDC_ABOUT_VERSION 106
#define IDC_ABOUT_FAX 107
#define IDC_ABOUT_WEB 108

#endif
