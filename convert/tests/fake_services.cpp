// Test programs of the worker define the services table themselves and fill it per test.
#include "convert_services.h"

stConvertServices g_convertServices = {};
