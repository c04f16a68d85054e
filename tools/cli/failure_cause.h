// Why a run that talked to the service failed, told from what its transfer met rather than from
// the operation's 0 alone: an address that is no http or https address, the HTTP status of the
// service's answer (IHostInc::GetLastUploadStatus and GetLastDownloadStatus), or no answer at
// all, where a name lookup tells a name that does not resolve from a service that does not
// answer.
#pragma once

#include <string>

#include "command.h"

namespace cli {

// After an upload: records the HTTP status of the service's answer in the result
// ("http_status"), and fails the run when it is no success (a 401 or a 404 gets an answer the
// library takes as delivered). True when the service accepted the upload.
bool CheckUploadAnswer(const std::string& url);

// After a run that failed past its input: the failure becomes its cause at the address the
// command used (--url, or for the commands that read a configuration document the address Init
// took from it), when one is found.
void ExplainServiceFailure(const Command& command, const Arguments& arguments);

// "404 Not Found", and what to do about it.
std::string DescribeStatus(int status);

}  // namespace cli
