#include "download/UrlReader.h"

// The reader interface has signals only; this unit gives it its meta-object.
