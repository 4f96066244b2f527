// The client library's handle type, without its header.
//
// Attachment, transaction, statement and blob handles are small integers
// handed out by the client library; the link keeps them as FbHandle so that
// its public headers need not pull in the library's C header and its macros.
// fb_status.cc checks that the two types agree.
#pragma once

namespace veltrix {

using FbHandle = unsigned int;

}  // namespace veltrix
