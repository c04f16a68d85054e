// A C# host of webinteractive through P/Invoke on its C interface: fetches a software's file list
// from the service, reads its records through their handles, asks for a protection that is not
// there, and uploads the log of the run; every failing call tells why.
//
//   mono Host.exe SERVICE      SERVICE: the service's address, for example http://127.0.0.1:8080
//
// Build: mcs -out:Host.exe Host.cs. The library is found as "webinteractive": libwebinteractive.so
// on the library path on Linux, webinteractive.dll beside the program on Windows.
using System;
using System.Runtime.InteropServices;

static class Native {
    const string Library = "webinteractive";
    const CallingConvention Call = CallingConvention.Cdecl;

    [DllImport(Library, CallingConvention = Call)] public static extern IntPtr wi_last_error();
    [DllImport(Library, CallingConvention = Call)] public static extern IntPtr wi_version();
    [DllImport(Library, CallingConvention = Call)] public static extern int wi_init(string config);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_log_set_param(string config, string type, string source);
    [DllImport(Library, CallingConvention = Call)] public static extern int wi_log_start();
    [DllImport(Library, CallingConvention = Call)] public static extern int wi_log_stop();
    [DllImport(Library, CallingConvention = Call)] public static extern int wi_log_save_one_log(IntPtr entry);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_download_file_list(string url, string guid, string specialCode,
        string pnVersion, out int locked, IntPtr cancelEvent, out IntPtr softs);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_get_protected_version(string guid, out int version);
    [DllImport(Library, CallingConvention = Call)] public static extern int wi_list_count(IntPtr list, out long count);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_list_get(IntPtr list, long index, out IntPtr record);
    [DllImport(Library, CallingConvention = Call)] public static extern void wi_list_free(IntPtr list);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_record_new(int kind, out IntPtr record);
    [DllImport(Library, CallingConvention = Call)] public static extern void wi_record_free(IntPtr record);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_record_get_text(IntPtr record, string field, out IntPtr value);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_record_set_text(IntPtr record, string field, string value);
    [DllImport(Library, CallingConvention = Call)]
    public static extern int wi_record_get_list(IntPtr record, string field, out IntPtr list);

    public const int WI_OK = 0, WI_FAILED = 1, WI_LOG_INFO = 7;
}

class WebInteractiveException : Exception {
    public WebInteractiveException(string call, int code)
        : base(call + " failed (" + code + "): " + Host.Text(Native.wi_last_error())) { }
}

static class Host {
    const string Guid = "{HOST-0001}";

    public static string Text(IntPtr text) { return Marshal.PtrToStringAnsi(text); }

    static void Check(string call, int code) {
        if (code != Native.WI_OK) throw new WebInteractiveException(call, code);
    }

    static string Field(IntPtr record, string name) {
        IntPtr value;
        Check("wi_record_get_text", Native.wi_record_get_text(record, name, out value));
        return Text(value);
    }

    static long Count(IntPtr list) {
        long count;
        Check("wi_list_count", Native.wi_list_count(list, out count));
        return count;
    }

    static int Main(string[] args) {
        if (args.Length != 1) {
            Console.Error.WriteLine("usage: Host.exe SERVICE");
            return 2;
        }
        string service = args[0];
        string config = "<Logs><UpUserUrl>" + service + "/upload/user</UpUserUrl><ReadUserUrl>" +
            service + "/userinfo</ReadUserUrl><UpSysUrl>" + service + "/upload/sysinfo</UpSysUrl>" +
            "<MachineNum>CS-HOST</MachineNum><DownSysPatchsUrl>" + service + "/patch</DownSysPatchsUrl>" +
            "<SysId>examples</SysId><CaseId>csharp</CaseId><Creator>csharp</Creator><Servlet>" +
            service + "/upload/log</Servlet></Logs>";
        try {
            Console.WriteLine("webinteractive " + Text(Native.wi_version()));
            Check("wi_init", Native.wi_init(config));
            Check("wi_log_set_param", Native.wi_log_set_param(config, "query", "csharp"));
            Check("wi_log_start", Native.wi_log_start());

            IntPtr softs, soft, files;
            int locked;
            Check("wi_download_file_list", Native.wi_download_file_list(service + "/filelist", Guid,
                "", "", out locked, IntPtr.Zero, out softs));
            if (Count(softs) != 1) throw new Exception("the list holds no one software");
            Check("wi_list_get", Native.wi_list_get(softs, 0, out soft));
            Check("wi_record_get_list", Native.wi_record_get_list(soft, "files", out files));
            Console.WriteLine("software " + Field(soft, "Name") + " version " + Field(soft, "Version") +
                              ", " + Count(files) + " file(s)");
            Native.wi_list_free(files);
            Native.wi_list_free(softs);

            // Not protected on this machine: the call fails and tells why.
            int version;
            if (Native.wi_get_protected_version(Guid, out version) != Native.WI_FAILED)
                throw new Exception("a protection that is not there was found");
            string reason = Text(Native.wi_last_error());
            Console.WriteLine("protected version: " + reason);

            IntPtr entry;
            Check("wi_record_new", Native.wi_record_new(Native.WI_LOG_INFO, out entry));
            Check("wi_record_set_text", Native.wi_record_set_text(entry, "guid", Guid));
            Check("wi_record_set_text", Native.wi_record_set_text(entry, "result", reason));
            Check("wi_log_save_one_log", Native.wi_log_save_one_log(entry));
            Native.wi_record_free(entry);
            Check("wi_log_stop", Native.wi_log_stop());
            Console.WriteLine("log uploaded");

            // A document that is not XML, a port where nothing listens: each failure tells why.
            if (Native.wi_init("this is not XML") != Native.WI_FAILED ||
                Text(Native.wi_last_error()).Length == 0)
                throw new Exception("a configuration that is not XML gave no reason");
            Console.WriteLine("not XML: " + Text(Native.wi_last_error()));
            if (Native.wi_download_file_list("http://127.0.0.1:1/filelist", Guid, "", "", out locked,
                    IntPtr.Zero, out softs) != Native.WI_FAILED ||
                !Text(Native.wi_last_error()).StartsWith("no answer"))
                throw new Exception("a closed port gave no reason");
            Console.WriteLine("closed port: " + Text(Native.wi_last_error()));
            return 0;
        } catch (Exception failure) {
            Console.Error.WriteLine(failure.Message);
            return 1;
        }
    }
}
