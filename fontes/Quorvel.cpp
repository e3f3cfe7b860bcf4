// The program's entry point: the start-up sequence lives in Startup.cpp.
#include <cstdio>
#include <cstdlib>

#include "fontes/Startup.h"
#include "platform/ui/Application.h"

int main(int argc, char** argv) {
  // Without a display Qt would abort with a message of its own; say it plainly instead.
  if (!startup::HasDisplay()) {
    std::fprintf(stderr, "%s\n", startup::NoDisplayMessage().toUtf8().constData());
    return EXIT_FAILURE;
  }
  TQtApplication qtApplication(argc, argv);
  TApplication application;
  return startup::Run(application);
}
