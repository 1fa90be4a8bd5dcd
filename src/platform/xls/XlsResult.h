#pragma once
// The workbook reader's names for the shared result type (platform/Result.h).

#include "platform/Result.h"

namespace korvane::xls {

using korvane::Done;
using korvane::Failure;
using korvane::Result;
using korvane::Status;

}  // namespace korvane::xls
