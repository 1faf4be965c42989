#include "toolkit/preview/preview_store.h"

PreviewStore gPreview;
