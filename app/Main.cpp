// dados: the dice experiment in a real window.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/ProgramVersion.h"
#include "app/Startup.h"
#include "desktop/Backend.h"
#include "desktop/backends/Sdl.h"

namespace {

constexpr char kUsage[] =
    "Uso: dados [OPCIÓN]\n"
    "Experimento aleatorio con dados: lanza un dado (o dos) n veces y compara las\n"
    "frecuencias relativas con la probabilidad clásica.\n"
    "\n"
    "  -h, --help     muestra esta ayuda y termina\n"
    "  -V, --version  muestra la versión y termina\n"
    "\n"
    "Variables de entorno: DADOS_SCALE (o GDK_SCALE) fija la escala de la pantalla;\n"
    "LC_ALL, LC_NUMERIC o LANG eligen el separador decimal.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        const auto is = [](const char* arg, const char* shortName, const char* longName) {
            return std::strcmp(arg, shortName) == 0 || std::strcmp(arg, longName) == 0;
        };
        const bool help = is(argv[1], "-h", "--help");
        const bool version = is(argv[1], "-V", "--version");
        if (argc == 2 && help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argc == 2 && version) {
            std::printf("dados %s\n", app::kProgramVersion);
            return 0;
        }
        // The program takes no arguments beyond one of these options.
        const char* bad = help || version ? argv[2] : argv[1];
        std::fprintf(stderr, "dados: opción no válida (invalid option): '%s'\n%s", bad, kUsage);
        return 2;
    }
    std::string error;
    std::unique_ptr<desktop::sdl::SdlBackend> backend = desktop::sdl::SdlBackend::Create(&error, "dados");
    if (!backend) {
        std::fprintf(stderr, "dados: no se puede abrir la pantalla (no display available): %s\n", error.c_str());
        return 1;
    }
    desktop::sdl::SdlBackend& display = *backend;
    desktop::UseBackend(std::move(backend));
    display.ExportAccessibility();
    return app::RunProgram();
}
