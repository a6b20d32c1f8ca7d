// A stand-in "msimg32.dll" that a test plants beside a program: if the program loaded it
// instead of the system's, its export would be this one. (No windows.h: it declares the real
// function as an import.)
extern "C" __declspec(dllexport) int __stdcall GradientFill(void*, void*, unsigned long, void*, unsigned long,
                                                            unsigned long) {
  return 0;
}
