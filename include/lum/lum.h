#pragma once
// The whole public interface of lum.

#include "lum/text/wstring.h"
#include "lum/text/ident.h"
#include "lum/text/codecs.h"
#include "lum/text/location.h"
#include "lum/text/enums.h"

#include "lum/diagnostics/error.h"
#include "lum/diagnostics/error_list.h"
#include "lum/diagnostics/reporter.h"
#include "lum/diagnostics/exceptions.h"

#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"
