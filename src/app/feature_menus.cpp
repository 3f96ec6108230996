#include "feature_menus.h"

#include "main_frame.h"

// Each feature's entries live in a file of their own.
void connectAdifMenus(MainFrame* frame);
void connectCabrilloMenus(MainFrame* frame);
void connectRefdataMenus(MainFrame* frame);

void connectFeatureMenus(MainFrame* frame)
{
    connectAdifMenus(frame);
    connectCabrilloMenus(frame);
    connectRefdataMenus(frame);
}
