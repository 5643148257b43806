#pragma once

namespace cli {

int SelfCheck(int argc, char** argv);
int Transcode(int argc, char** argv);
int Probe(int argc, char** argv);
int Convert(int argc, char** argv);
int Formats(int argc, char** argv);

}  // namespace cli
