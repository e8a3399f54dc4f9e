// Running the work of a batch in parallel: one job per project on a few threads, the output of each job
// handed back whole and in the order of the projects, however the jobs finish.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zorva::cli {

struct JobOutput {
    int status = 0;   // the exit status the job would give as a run of its own
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// Runs job(0) ... job(count - 1) on up to `jobs` threads (at least one). `report(i, output)` is called
// on the calling thread for each job in index order, as soon as that job and every one before it are
// done. A job that throws is reported with status 2 and the exception's text on `err`.
void run_jobs(std::size_t count, unsigned jobs, const std::function<JobOutput(std::size_t)>& job,
              const std::function<void(std::size_t, JobOutput&)>& report);

// Runs this program again as a child process with `arguments` (argv[1] on), standard input empty, and
// collects its output. A child ended by a signal gives status 128 + the signal's number and a line saying
// so on its standard error; one that cannot be started gives 2 and the reason.
JobOutput run_self(const std::vector<std::string>& arguments);

// The number of processors this process may use (at least 1).
unsigned available_processors();

}  // namespace zorva::cli
