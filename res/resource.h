/* Resource identifiers, shared by the resource script and the program. */
#pragma once

#define IDI_KEYHUSH 1   /* the program's window icon */
#define IDI_TRAY1 2     /* the tray icon shown from start-up */
#define IDI_TRAY2 3     /* the tray icon the Modify Icon button puts in */
