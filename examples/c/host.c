/* A C host of webinteractive: fetches a software's file list from the service, installs its
   program from there, protects it in the local store, queries and cleans the protection, and
   uploads the log of the run. Last, it shows that a failing call tells why.

     host SERVICE      SERVICE: the service's address, for example http://127.0.0.1:8080

   The service serves examples/data: the file list of {HOST-0001} and files/demo.exe. Build:
     cc -std=c99 host.c $(pkg-config --cflags --libs webinteractive) -o host */
#include <stdio.h>
#include <string.h>

#include <webinteractive/webinteractive_c.h>

#define GUID "{HOST-0001}"

/* Ends the flow with the call's reason when it fails. */
#define CHECK(call)                                                      \
    do {                                                                 \
        if ((call) != WI_OK) {                                           \
            fprintf(stderr, "%s failed: %s\n", #call, wi_last_error()); \
            return 1;                                                    \
        }                                                                \
    } while (0)

static char service[512];

/* The service's address followed by a path. */
static const char* at(const char* path) {
    static char url[1024];
    snprintf(url, sizeof url, "%s%s", service, path);
    return url;
}

/* The configuration document of Init and of the log. */
static const char* configuration(void) {
    static char text[4096];
    snprintf(text, sizeof text,
             "<Logs><UpUserUrl>%s/upload/user</UpUserUrl><ReadUserUrl>%s/userinfo</ReadUserUrl>"
             "<UpSysUrl>%s/upload/sysinfo</UpSysUrl><MachineNum>C-HOST</MachineNum>"
             "<DownSysPatchsUrl>%s/patch</DownSysPatchsUrl><SysId>examples</SysId>"
             "<CaseId>c-host</CaseId><Creator>c</Creator><Servlet>%s/upload/log</Servlet></Logs>",
             service, service, service, service, service);
    return text;
}

/* The software as installed: each of its files where its list says, read from there. */
static int installed(const wi_record* listed, wi_record** soft) {
    wi_list* files = NULL;
    wi_list* local = NULL;
    int64_t count = 0;
    int64_t i;
    CHECK(wi_record_copy(listed, soft));
    CHECK(wi_record_get_list(listed, "files", &files));
    CHECK(wi_list_new(WI_FILE_INFO, &local));
    CHECK(wi_list_count(files, &count));
    for (i = 0; i < count; ++i) {
        const wi_record* file = NULL;
        wi_record* copy = NULL;
        const char* setup_path = NULL;
        CHECK(wi_list_get(files, i, &file));
        CHECK(wi_record_get_text(file, "SetupPath", &setup_path));
        CHECK(wi_record_copy(file, &copy));
        CHECK(wi_record_set_text(copy, "LocalPath", setup_path));
        CHECK(wi_list_append(local, copy));
        wi_record_free(copy);
    }
    CHECK(wi_record_set_list(*soft, "files", local));
    wi_list_free(local);
    wi_list_free(files);
    return 0;
}

/* A log entry of the protection, with one detail line. */
static int log_protection(const char* detail_text) {
    wi_record* entry = NULL;
    wi_record* detail = NULL;
    wi_list* details = NULL;
    CHECK(wi_record_new(WI_LOG_INFO, &entry));
    CHECK(wi_record_set_text(entry, "guid", GUID));
    CHECK(wi_record_set_text(entry, "result", "protected"));
    CHECK(wi_record_new(WI_TEXT, &detail));
    CHECK(wi_record_set_text(detail, "text", detail_text));
    CHECK(wi_list_new(WI_TEXT, &details));
    CHECK(wi_list_append(details, detail));
    CHECK(wi_record_set_list(entry, "details", details));
    CHECK(wi_log_save_one_log(entry));
    wi_list_free(details);
    wi_record_free(detail);
    wi_record_free(entry);
    return 0;
}

/* A failing call tells why: a document that is not XML, a port where nothing listens. */
static int failures_tell_why(void) {
    wi_list* softs = NULL;
    if (wi_init("this is not XML") != WI_FAILED || wi_last_error()[0] == '\0') {
        fprintf(stderr, "a configuration that is not XML gave no reason\n");
        return 1;
    }
    printf("not XML: %s\n", wi_last_error());
    if (wi_download_file_list("http://127.0.0.1:1/filelist", GUID, "", "", NULL, NULL, &softs) !=
            WI_FAILED ||
        strstr(wi_last_error(), "no answer") == NULL) {
        fprintf(stderr, "a closed port gave no reason: %s\n", wi_last_error());
        return 1;
    }
    printf("closed port: %s\n", wi_last_error());
    return 0;
}

int main(int argc, char** argv) {
    wi_list* softs = NULL;
    const wi_record* listed = NULL;
    wi_record* soft = NULL;
    const char* name = NULL;
    const char* path = NULL;
    int64_t count = 0;
    int version = 0;

    if (argc != 2 || strlen(argv[1]) >= sizeof service) {
        fprintf(stderr, "usage: host SERVICE\n");
        return 2;
    }
    strcpy(service, argv[1]);
    if (wi_version_number() != WEBINTERACTIVE_VERSION_NUMBER) {
        fprintf(stderr, "built for %s, loaded %s\n", WEBINTERACTIVE_VERSION_STRING, wi_version());
        return 1;
    }
    printf("webinteractive %s\n", wi_version());

    CHECK(wi_init(configuration()));
    CHECK(wi_log_set_param(configuration(), "protect", "c-host"));
    CHECK(wi_log_start());

    /* The software's file list from the service, and its program installed from there. */
    CHECK(wi_download_file_list(at("/filelist"), GUID, "", "", NULL, NULL, &softs));
    CHECK(wi_list_count(softs, &count));
    if (count != 1) {
        fprintf(stderr, "the list holds %d softwares, not 1\n", (int)count);
        return 1;
    }
    CHECK(wi_list_get(softs, 0, &listed));
    CHECK(wi_record_get_text(listed, "Name", &name));
    printf("software %s\n", name);
    CHECK(wi_download_install_file1(at("/install"), "DemoApp", "demo.exe", "D:\\DemoApp", NULL));

    /* Protected, queried, cleaned. */
    if (installed(listed, &soft) != 0) return 1;
    CHECK(wi_protect_files_to_local(soft, NULL));
    CHECK(wi_get_protect_xml_path(GUID, &path));
    printf("protect document %s\n", path);
    CHECK(wi_get_protected_version(GUID, &version));
    CHECK(wi_get_protected_install_path(GUID, &path));
    printf("protected version %d installed in %s\n", version, path);
    if (log_protection(path) != 0) return 1;
    CHECK(wi_clean_protect_software(GUID));
    if (wi_get_protect_xml_path(GUID, &path) != WI_FAILED) {
        fprintf(stderr, "the protection is still there\n");
        return 1;
    }
    wi_record_free(soft);
    wi_list_free(softs);

    /* The run's log goes to the service. */
    CHECK(wi_log_stop());
    printf("log uploaded\n");
    return failures_tell_why();
}
