// A planted fault for the image checks: a program linked against the
// compiler's runtime DLLs (libstdc++, libgcc) instead of statically, as a
// build without -static gives it. The import check must refuse it.
#include <stdexcept>
#include <string>

int main(int argc, char**) {
  try {
    if (argc > 5) throw std::runtime_error(std::string(static_cast<size_t>(argc), 'x'));
  } catch (const std::exception&) {
    return 1;
  }
  return 0;
}
