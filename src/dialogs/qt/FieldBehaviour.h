#pragma once
// Small behaviours the dialog forms share.
#include <QColor>

class QWidget;

// The whole content of the field (one line or many) is selected whenever it
// receives the focus.
void SelectAllOnFocus(QWidget* field);
// A 0xBBGGRR value as a colour and back.
QColor ColourFromBgr(int bgr);
int BgrFromColour(const QColor& colour);
// Paints the widget's background (text fields, swatches) with a 0xBBGGRR colour.
void SetBackground(QWidget* widget, int bgr);
