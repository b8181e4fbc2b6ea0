#include "output/output_state.h"

std::string OutputFileName;
int16_t WriteMode = WriteAppend;
int16_t FileChosen = 0;
std::string LastFolder;
