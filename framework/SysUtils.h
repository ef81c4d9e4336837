#pragma once

// The run-time services: exceptions, number and text conversions, locale separators.
#include "framework/SysUtilsConsts.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsExceptions.h"
#include "framework/SysUtilsFloat.h"
#include "framework/SysUtilsLocale.h"
