#include "app/app_state.h"

int AppIcon = 0;
int BackgroundImage = 0;
std::string LogoPicture;
float FileBoxRow = 0.0f;
