#include "toolkit/SText.h"

SText::SText(QWidget* parent) : SWindow(parent) {}
