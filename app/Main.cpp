// dados: the dice experiment in a real window.
#include <cstdio>
#include <memory>
#include <string>

#include "app/Startup.h"
#include "desktop/Backend.h"
#include "desktop/backends/Sdl.h"

int main()
{
    std::string error;
    std::unique_ptr<desktop::sdl::SdlBackend> backend = desktop::sdl::SdlBackend::Create(&error);
    if (!backend) {
        std::fprintf(stderr, "dados: no se puede abrir la pantalla (no display available): %s\n", error.c_str());
        return 1;
    }
    desktop::UseBackend(std::move(backend));
    return app::RunProgram();
}
