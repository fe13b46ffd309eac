#pragma once

#include "sheet.h"
#include "project.h"

namespace project {
// The project sheet (工程计算书): for each calculator a summary table with one
// row per case, its inputs as used and its results, then every case's own
// sheet, each from a page of its own.
sheet::Sheet projectSheet(const Project& project);
}
