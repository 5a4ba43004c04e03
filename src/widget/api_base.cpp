#include "widget/api_base.h"

#ifndef AMBREL_ADSENSE_API_BASE
#error "AMBREL_ADSENSE_API_BASE must be defined by the build"
#endif

namespace ambrel {

const char* adsenseApiBase() {
    return AMBREL_ADSENSE_API_BASE;
}

const char* trustedCaFile() {
#ifdef AMBREL_TEST_CA_FILE
    return AMBREL_TEST_CA_FILE;
#else
    return "";
#endif
}

}  // namespace ambrel
