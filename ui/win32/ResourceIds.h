#pragma once

// Resource numbers of the front end's pictures, shared by resources.rc and the code (plain
// defines: the resource compiler reads this file too).

// The program's icon (the tray's clock face): the first icon group, which Explorer shows for the
// file as well.
#define VELMORA_IDI_PROGRAM 1

// The five picture buttons, 24-bit on magenta.
#define VELMORA_IDB_GETTIME 101
#define VELMORA_IDB_ADJUST 102
#define VELMORA_IDB_PROPERTIES 103
#define VELMORA_IDB_HELP 104
#define VELMORA_IDB_EXIT 105
