#include "ui/common/qt_text.h"
