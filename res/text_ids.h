/* The identifiers of the texts the user sees, one string table per language in res/lang/. The
   texts stored in the registry are never among them: they stay the same in every language. */
#pragma once

/* The tray menu. */
#define IDS_MENU_ABOUT 100
#define IDS_MENU_SETTINGS 101
#define IDS_MENU_EXIT 102

/* The settings window. */
#define IDS_SETTINGS_CAPTION 200
#define IDS_DESCRIPTION 201
#define IDS_SETTINGS_OK 202
#define IDS_SETTINGS_CANCEL 203
#define IDS_SETTINGS_EXIT 204
#define IDS_SETTINGS_ABOUT 205
#define IDS_SETTINGS_OTHER 206
#define IDS_CURRENT_HOT_KEY 207
#define IDS_SELECT_HOT_KEY 208
#define IDS_START_AT_LOGON 209
#define IDS_DISPLAYS_OFF 210
#define IDS_UNAVAILABLE 211
/* What the organisation sets: one sentence for each mix of the three (hot key 1, start at
   log-on 2, displays off 4), at IDS_POLICY_BASE plus the mix. */
#define IDS_POLICY_BASE 220

/* Display names of the modifiers and of the keys a keyboard prints a word on. */
#define IDS_MOD_CTRL 300
#define IDS_MOD_ALT 301
#define IDS_MOD_SHIFT 302
#define IDS_MOD_WIN 303
#define IDS_KEY_SPACE 310
#define IDS_KEY_ENTER 311
#define IDS_KEY_TAB 312
#define IDS_KEY_ESC 313
#define IDS_KEY_BACKSPACE 314
#define IDS_KEY_INSERT 315
#define IDS_KEY_DELETE 316
#define IDS_KEY_HOME 317
#define IDS_KEY_END 318
#define IDS_KEY_PAGEUP 319
#define IDS_KEY_PAGEDOWN 320
#define IDS_KEY_LEFT 321
#define IDS_KEY_UP 322
#define IDS_KEY_RIGHT 323
#define IDS_KEY_DOWN 324
#define IDS_KEY_PAUSE 325
#define IDS_KEY_SCROLLLOCK 326
#define IDS_KEY_CAPSLOCK 327
#define IDS_KEY_NUMLOCK 328
#define IDS_KEY_PRINTSCREEN 329
#define IDS_KEY_APPS 330

/* The new-hot-key window. */
#define IDS_NEW_CAPTION 400
#define IDS_NEW_PROMPT 401
#define IDS_NEW_OK 402
#define IDS_NEW_CANCEL 403
#define IDS_REFUSE_NEVER 410
#define IDS_REFUSE_F12 411
#define IDS_REFUSE_WIN_L 412
#define IDS_REFUSE_CTRL_ALT_DEL 413
#define IDS_REFUSE_SHIFT_ALONE 414
#define IDS_REFUSE_TYPING 415

/* The About window. */
#define IDS_ABOUT_CAPTION 500
#define IDS_ABOUT_OK 501
#define IDS_ABOUT_SYSINFO 502
#define IDS_ABOUT_VERSION 503
#define IDS_SYSINFO_UNAVAILABLE 504

/* Messages and error descriptions. */
#define IDS_LOCK_FAILED 600
#define IDS_UNEXPECTED_ERROR 601
#define IDS_RUNTIME_ERROR 602
#define IDS_ERROR_NUMBER 603
#define IDS_CREATE_FAILED 604
#define IDS_ERR_INVALID_CALL 610
#define IDS_ERR_OVERFLOW 611
#define IDS_ERR_OUT_OF_MEMORY 612
#define IDS_ERR_TYPE_MISMATCH 613
#define IDS_ERR_DLL 614
#define IDS_ERR_FILE_NOT_FOUND 615
#define IDS_ERR_PERMISSION 616
#define IDS_ERR_PATH_NOT_FOUND 617
#define IDS_ERR_FILE_FORMAT 618
#define IDS_ERR_APPLICATION 619
#define IDS_SHELL_SHARING 620
#define IDS_SHELL_ASSOCIATION 621
#define IDS_SHELL_DDE_TIMEOUT 622
#define IDS_SHELL_DDE_FAILED 623
#define IDS_SHELL_DDE_BUSY 624
