#include "app/MessageBoxText.h"

#include <iostream>

namespace dravik {

void echoMessageBoxText(const char* caption, const char* text) {
  if (caption != nullptr) {
    std::cerr << caption << ": " << text << std::endl;
  } else {
    std::cerr << text << std::endl;
  }
}

}  // namespace dravik
