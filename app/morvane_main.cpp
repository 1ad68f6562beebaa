// The one application object of Morvane.exe; the class layer's wWinMain runs it.
#include "morvane_app.h"

CMorvaneApp theApp;
