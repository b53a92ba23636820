#pragma once

#include <cstddef>
#include <functional>

// How filters spread their work: rows split across threads, and whether the
// vector code for processors with AVX2 may be used. Results never depend on
// either setting; tests and benchmarks change them to compare the paths.
namespace FilterExecution {

// The number of threads filters use; 0 (the default) means one per core.
void setThreadCount(int count);
int threadCount();

// Off forces the plain code even on a processor with AVX2.
void setVectorCodeEnabled(bool enabled);
bool vectorCodeEnabled();
// The processor has AVX2 and vector code is enabled.
bool useAvx2();

// Calls body(first, end) for contiguous bands of the rows 0..rowCount - 1, on
// up to threadCount() threads (the caller's among them). Small jobs, counted
// in workPerRow units per row, stay on the calling thread. An exception
// thrown by a band is rethrown here once every band has ended.
void forEachRowBand(int rowCount, std::size_t workPerRow, const std::function<void(int first, int end)>& body);

} // namespace FilterExecution
