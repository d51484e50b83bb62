// The baseline of the terminal edition's start-up figures: the least a C++
// program does to read a line and write it back.
#include <iostream>
#include <string>

int main() {
    std::string line;
    std::getline(std::cin, line);
    std::cout << line << '\n';
}
