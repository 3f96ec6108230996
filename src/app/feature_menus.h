#pragma once
// Menu entries of the features that have their views: each feature connects
// its entries here and enables them (the others stay disabled in the frame).

class MainFrame;

void connectFeatureMenus(MainFrame* frame);
