#include "widget/api_base.h"

#ifndef AMBREL_ADSENSE_API_BASE
#error "AMBREL_ADSENSE_API_BASE must be defined by the build"
#endif

namespace ambrel {

const char* adsenseApiBase() {
    return AMBREL_ADSENSE_API_BASE;
}

}  // namespace ambrel
