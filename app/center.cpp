// Where a window goes on one axis when it is centred over its owner and kept on the screen.
#include "center.h"

int CenteredPosition(int ownerStart, int ownerExtent, int extent, int screenExtent)
{
    int position = ownerStart + (ownerExtent - extent) / 2;
    if (position < 0)
        return 0;
    if (position + extent > screenExtent)
        return screenExtent - extent;
    return position;
}
