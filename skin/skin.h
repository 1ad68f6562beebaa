// The skin toolkit in one include.
#ifndef MORVANE_SKIN_SKIN_H
#define MORVANE_SKIN_SKIN_H

#include "skin_btn.h"
#include "skin_combo.h"
#include "skin_dlg.h"
#include "skin_edit.h"
#include "skin_img.h"
#include "skin_list.h"
#include "skin_progress.h"
#include "skin_scrollbar.h"
#include "skin_static.h"

#endif
