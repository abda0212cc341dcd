#include "support/WidgetTestMain.h"
