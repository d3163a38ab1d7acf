// Writes the window templates and the string table as a Windows resource
// script. Runs on the build machine, so it is built with the host's compiler
// even in a cross build.
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "dialog_template.h"
#include "resource_script.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_resource_script OUTPUT.rc\n";
    return 2;
  }
  try {
    std::string script =
        "// Made at build time from res/*_template.cpp and res/string_table.cpp; do not edit.\n"
        "#include <windows.h>\n#include <commctrl.h>\n\n";
    script += quillmere::DialogScript(quillmere::MainDialogTemplate()) + "\n";
    script += quillmere::DialogScript(quillmere::AboutDialogTemplate()) + "\n";
    script += quillmere::StringTableScript();
    std::ofstream out(argv[1], std::ios::binary);
    out << script;
    if (!out.flush()) {
      std::cerr << "make_resource_script: cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const std::invalid_argument& error) {
    std::cerr << "make_resource_script: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
