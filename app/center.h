// Where a window goes on one axis when it is centred over its owner and kept on the screen.
#ifndef QUILLMAR_APP_CENTER_H
#define QUILLMAR_APP_CENTER_H

// The centred position, moved to 0 when it is negative, otherwise moved back
// so that the far edge meets the screen's edge when it would pass it.
int CenteredPosition(int ownerStart, int ownerExtent, int extent, int screenExtent);

#endif
