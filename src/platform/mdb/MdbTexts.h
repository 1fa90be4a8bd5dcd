#pragma once
// The words of the data-access component's failures.

#include "platform/Failure.h"
#include "platform/mdb/MdbFault.h"

namespace korvane {

const FailureTexts& failureTexts(MdbFault);
// ReaderFault told of korvane-mdb-reader.
const FailureTexts& databaseReaderTexts();

}  // namespace korvane
