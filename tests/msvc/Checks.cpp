#include "Checks.h"

__asm__(".text\n"
        ".globl _misalignedCall\n"
        "_misalignedCall:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    movl 16(%ebp), %ecx\n"
        "    movl %esp, %eax\n"
        "    subl %ecx, %eax\n"
        "    andl $-16, %eax\n"
        "    subl $12, %eax\n"
        "    movl %eax, %esp\n"
        "    movl 12(%ebp), %esi\n"
        "    movl %esp, %edi\n"
        "    cld\n"
        "    rep movsb\n"
        "    movl 20(%ebp), %ecx\n"
        "    call *8(%ebp)\n"
        "    leal -12(%ebp), %esp\n"
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n");

namespace contract {

namespace {

const char* current = "";
bool currentFailed = false;

} // namespace

int passed = 0;
int failed = 0;

void print(const char* text)
{
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, static_cast<unsigned long>(strlen(text)), &written,
              nullptr);
}

void printNumber(long value)
{
    char digits[16];
    int length = 0;
    const bool negative = value < 0;
    unsigned long magnitude = negative ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        print("-");
    char text[16];
    for (int i = 0; i < length; ++i)
        text[i] = digits[length - 1 - i];
    text[length] = '\0';
    print(text);
}

void check(bool condition, const char* what)
{
    if (condition)
        return;
    print("FAIL ");
    print(current);
    print(": ");
    print(what);
    print("\n");
    currentFailed = true;
}

void beginCheck(const char* name)
{
    current = name;
    currentFailed = false;
}

void endCheck(const char* name)
{
    if (currentFailed) {
        ++failed;
    } else {
        ++passed;
        print("PASS ");
        print(name);
        print("\n");
    }
}

long liveAllocations()
{
    HeapEntry entry = {nullptr, 0, 0};
    long used = 0;
    while (_heapwalk(&entry) == -2)
        if (entry.used == 1)
            ++used;
    return used;
}

bool contains(const char* text, const char* part)
{
    const size_t length = strlen(part);
    for (; *text != '\0'; ++text) {
        size_t i = 0;
        while (i < length && text[i] == part[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

} // namespace contract
