/* The peer of the file list benchmarks: a plain libxml2 program that builds the file list tree of
 * the benchmark records with the tree API and serialises it.
 *   filelist_libxml2_peer --text RESULT   builds it, dumps it to memory, writes "SECONDS BYTES"
 *                                         (the build and dump alone) to RESULT
 *   filelist_libxml2_peer --save PATH     builds it and saves it to PATH in GB2312
 * Like the library's host, it holds the records first: every text is made before the build. */
#include <libxml/tree.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "filelist_bench_data.h"

/* Kinds of value: T text, I integer, L the 64-bit size, F flag, E always empty, S the software's
 * special code. */
typedef struct {
    const char* name;
    char kind;
} Field;

static const Field kBase[] = {{"GUID", 'T'}, {"Type", 'I'},         {"Name", 'T'},
                              {"Vendor", 'T'}, {"is_protected", 'I'}, {"pn_name", 'T'}};
static const Field kVersion[] = {
    {"GUID", 'T'},           {"Version", 'T'},        {"OriginalVersion", 'T'},
    {"SetupPath", 'T'},      {"WindowsVersion", 'I'}, {"HelpLink", 'T'},
    {"UpdateLink", 'T'},     {"Size", 'L'},           {"SetupSourcePath", 'T'},
    {"DownloadPath", 'T'},   {"special_code", 'T'},   {"Category", 'I'},
    {"authorized_prefix", 'T'}, {"comments", 'T'},    {"contact", 'T'},
    {"estimated_size", 'I'}, {"help_telephone", 'T'}, {"install_date", 'T'},
    {"language", 'I'},       {"no_modify", 'I'},      {"no_remove", 'I'},
    {"no_repair", 'I'},      {"modify_path", 'T'},    {"readme", 'T'},
    {"system_component", 'I'}, {"version_info", 'I'}, {"version_major", 'I'},
    {"version_minor", 'I'},  {"windows_installer", 'I'}, {"analyse_result", 'I'},
    {"product_id", 'T'},     {"pn_version", 'T'}};
static const Field kFile[] = {
    {"SId", 'T'},          {"Name", 'T'},          {"SetupPath", 'T'},     {"Type", 'I'},
    {"ProductName", 'T'},  {"ProductVersion", 'T'}, {"InsideName", 'T'},   {"OriginalName", 'T'},
    {"CreateDate", 'T'},   {"ModifyDate", 'T'},    {"AccessDate", 'T'},    {"Description", 'T'},
    {"CharacterCode", 'T'}, {"Category", 'I'},     {"file_version", 'T'},  {"company_name", 'T'},
    {"copy_right", 'T'},   {"language", 'T'},      {"analyse_result", 'I'}, {"Component", 'I'},
    {"particularinfo", 'T'}, {"analyseFlag", 'F'}, {"delFlag", 'F'}};
static const Field kDep[] = {
    {"SId", 'E'}, {"Name", 'T'}, {"SetupPath", 'T'}, {"delflag", 'F'}, {"special_code", 'S'}};
static const Field kConf[] = {{"CfgId", 'E'}, {"Source", 'T'}, {"Key", 'T'},   {"Value", 'T'},
                              {"Type", 'I'},  {"delflag", 'F'}, {"Action", 'I'}};

#define COUNT(array) (sizeof(array) / sizeof((array)[0]))

/* The texts of one item (or of the software), in the order of its fields. */
typedef struct {
    char** texts;
} Item;

typedef struct {
    Item base, version;
    Item files[kBenchFiles], deps[kBenchDeps], confs[kBenchConfs];
} Software;

static Item MakeItem(const Field* fields, size_t count, int soft, int item) {
    Item made;
    size_t n = 0;
    made.texts = malloc(count * sizeof(char*));
    for (size_t i = 0; i < count; ++i) {
        if (fields[i].kind == 'T') {
            char text[128];
            BenchText(text, sizeof text, fields[i].name, soft, item);
            made.texts[n++] = strdup(text);
        }
    }
    return made;
}

static void AppendItem(xmlNodePtr parent, const char* name, const Field* fields, size_t count,
                       const Item* values, const char* specialCode, int soft, int item) {
    xmlNodePtr node = xmlNewChild(parent, NULL, BAD_CAST name, NULL);
    size_t n = 0;
    for (size_t i = 0; i < count; ++i) {
        char number[32];
        const char* text = number;
        switch (fields[i].kind) {
            case 'T': text = values->texts[n++]; break;
            case 'I': snprintf(number, sizeof number, "%d", BenchNumber(soft, item)); break;
            case 'L': snprintf(number, sizeof number, "%lld", (long long)BenchSize(soft)); break;
            case 'F': snprintf(number, sizeof number, "%d", BenchFlag(item)); break;
            case 'S': text = specialCode; break;
            default: text = ""; break;
        }
        xmlNewTextChild(node, NULL, BAD_CAST fields[i].name, BAD_CAST text);
    }
}

/* Where the text of the field of this name lies among an item's texts. */
static size_t TextIndexIn(const Field* fields, size_t count, const char* name) {
    size_t n = 0;
    for (size_t i = 0; i < count && strcmp(fields[i].name, name) != 0; ++i) {
        n += fields[i].kind == 'T';
    }
    return n;
}
#define TextIndex(fields, name) TextIndexIn(fields, COUNT(fields), name)

static xmlDocPtr Build(const Software* softs) {
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    xmlNodePtr root = xmlNewNode(NULL, BAD_CAST "softwares");
    xmlDocSetRootElement(doc, root);
    for (int s = 0; s < kBenchSofts; ++s) {
        const Software* soft = &softs[s];
        xmlNodePtr software = xmlNewChild(root, NULL, BAD_CAST "software", NULL);
        AppendItem(software, "BaseInfo", kBase, COUNT(kBase), &soft->base, NULL, s, -1);
        xmlNodePtr version = xmlNewChild(software, NULL, BAD_CAST "Version", NULL);
        AppendItem(version, "VersionInfo", kVersion, COUNT(kVersion), &soft->version, NULL, s, -1);
        const char* specialCode = soft->version.texts[TextIndex(kVersion, "special_code")];
        xmlNodePtr list = xmlNewChild(version, NULL, BAD_CAST "FileList", NULL);
        for (int i = 0; i < kBenchFiles; ++i) {
            AppendItem(list, "file", kFile, COUNT(kFile), &soft->files[i], NULL, s, i);
        }
        list = xmlNewChild(version, NULL, BAD_CAST "Dependence", NULL);
        for (int i = 0; i < kBenchDeps; ++i) {
            AppendItem(list, "dep", kDep, COUNT(kDep), &soft->deps[i], specialCode, s, i);
        }
        list = xmlNewChild(version, NULL, BAD_CAST "Configration", NULL);
        for (int i = 0; i < kBenchConfs; ++i) {
            AppendItem(list, "cfg", kConf, COUNT(kConf), &soft->confs[i], NULL, s, i);
        }
    }
    return doc;
}

static double Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    if (argc != 3 || (strcmp(argv[1], "--text") != 0 && strcmp(argv[1], "--save") != 0)) {
        fprintf(stderr, "usage: %s --text RESULT | --save PATH\n", argv[0]);
        return 2;
    }
    Software* softs = calloc(kBenchSofts, sizeof(Software));
    for (int s = 0; s < kBenchSofts; ++s) {
        softs[s].base = MakeItem(kBase, COUNT(kBase), s, -1);
        softs[s].version = MakeItem(kVersion, COUNT(kVersion), s, -1);
        for (int i = 0; i < kBenchFiles; ++i) softs[s].files[i] = MakeItem(kFile, COUNT(kFile), s, i);
        for (int i = 0; i < kBenchDeps; ++i) softs[s].deps[i] = MakeItem(kDep, COUNT(kDep), s, i);
        for (int i = 0; i < kBenchConfs; ++i) softs[s].confs[i] = MakeItem(kConf, COUNT(kConf), s, i);
    }
    xmlInitParser();
    if (strcmp(argv[1], "--save") == 0) {
        xmlDocPtr doc = Build(softs);
        const int saved = xmlSaveFileEnc(argv[2], doc, "GB2312");
        xmlFreeDoc(doc);
        return saved > 0 ? 0 : 1;
    }
    const double started = Now();
    xmlDocPtr doc = Build(softs);
    xmlChar* text = NULL;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &text, &size, "UTF-8");
    const double seconds = Now() - started;
    xmlFree(text);
    xmlFreeDoc(doc);
    FILE* result = fopen(argv[2], "w");
    if (result == NULL || size <= 0) return 1;
    fprintf(result, "%.6f %d\n", seconds, size);
    return fclose(result) == 0 ? 0 : 1;
}
