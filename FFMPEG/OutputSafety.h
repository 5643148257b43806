// Checks that keep an output from costing the user a file: an output never
// replaces one of the conversion's own inputs, an output that disappeared
// while it was written is not taken for a finished one, and an output that
// received no media is not left behind.
#pragma once

#include <string>
#include <vector>

struct AVFormatContext;

namespace engine {

// True when `output` names a file that already exists and is the very file
// (same device and inode, whatever the path or link) of one of the opened
// inputs.
bool IsOneOfTheInputs(const std::string& output, const std::vector<const AVFormatContext*>& inputs);

// After the trailers: why the outputs are no result, or empty when they are
// sound. An output file removed while it was written (its folder deleted) is
// none; nor is one that received no packet in a run that was not stopped,
// and that file, which holds no media, is removed. A stopped run keeps its
// closed output whatever it holds.
std::string UnsoundOutputs(const std::vector<AVFormatContext*>& outputs, bool stopped);

}  // namespace engine
