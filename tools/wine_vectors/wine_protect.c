/* wine_protect.exe: the data-protection calls of the system it runs on, for test vectors.
 *
 *   wine_protect user                          prints the account name the calls use (hex, no NUL)
 *   wine_protect protect IN ENTROPY OUT        CryptProtectData of the bytes of IN into OUT
 *   wine_protect unprotect IN ENTROPY OUT      CryptUnprotectData, the check of the former
 *
 * ENTROPY is hex digits, or "none" for no entropy at all. Built with mingw-w64 by
 * make_vectors.sh and run under Wine; not part of the program. */
#include <windows.h>
#include <wincrypt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static BYTE *read_file(const char *path, DWORD *size)
{
    FILE *f = fopen(path, "rb");
    BYTE *data;
    long n;
    if (!f)
        return NULL;
    fseek(f, 0, SEEK_END);
    n = ftell(f);
    fseek(f, 0, SEEK_SET);
    data = malloc(n > 0 ? (size_t)n : 1);
    if (data && n > 0 && fread(data, 1, (size_t)n, f) != (size_t)n) {
        free(data);
        data = NULL;
    }
    fclose(f);
    *size = (DWORD)n;
    return data;
}

static int write_file(const char *path, const BYTE *data, DWORD size)
{
    FILE *f = fopen(path, "wb");
    int ok;
    if (!f)
        return 0;
    ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

static BYTE *parse_hex(const char *text, DWORD *size)
{
    size_t n = strlen(text), i;
    BYTE *out = malloc(n / 2 + 1);
    if (!out || n % 2)
        return NULL;
    for (i = 0; i < n / 2; ++i) {
        unsigned v;
        if (sscanf(text + 2 * i, "%2x", &v) != 1)
            return NULL;
        out[i] = (BYTE)v;
    }
    *size = (DWORD)(n / 2);
    return out;
}

int main(int argc, char **argv)
{
    DATA_BLOB in, out, entropy, *pEntropy = NULL;
    BOOL ok;

    if (argc == 2 && !strcmp(argv[1], "user")) {
        char name[256];
        DWORD len = sizeof(name), i;
        if (!GetUserNameA(name, &len))
            return 1;
        for (i = 0; name[i]; ++i)
            printf("%02x", (unsigned char)name[i]);
        printf("\n");
        return 0;
    }
    if (argc != 5 || (strcmp(argv[1], "protect") && strcmp(argv[1], "unprotect"))) {
        fprintf(stderr, "usage: wine_protect user | (protect|unprotect) IN ENTROPY OUT\n");
        return 2;
    }
    in.pbData = read_file(argv[2], &in.cbData);
    if (!in.pbData) {
        fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    if (strcmp(argv[3], "none")) {
        entropy.pbData = parse_hex(argv[3], &entropy.cbData);
        if (!entropy.pbData) {
            fprintf(stderr, "bad entropy %s\n", argv[3]);
            return 2;
        }
        pEntropy = &entropy;
    }
    if (!strcmp(argv[1], "protect"))
        ok = CryptProtectData(&in, NULL, pEntropy, NULL, NULL, 0, &out);
    else
        ok = CryptUnprotectData(&in, NULL, pEntropy, NULL, NULL, 0, &out);
    if (!ok) {
        fprintf(stderr, "%s failed: error %lu\n", argv[1], (unsigned long)GetLastError());
        return 1;
    }
    if (!write_file(argv[4], out.pbData, out.cbData)) {
        fprintf(stderr, "cannot write %s\n", argv[4]);
        return 1;
    }
    LocalFree(out.pbData);
    return 0;
}
