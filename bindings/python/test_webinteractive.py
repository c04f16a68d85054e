"""The Python module against the reference service: the flow of the examples, and failing calls
that tell why. WEBINTERACTIVE_TEST_SERVICE names the service serving examples/data; the machine
is the one of WEBINTERACTIVE_PREFIX."""

import os
import unittest

import webinteractive as wi

GUID = "{HOST-0001}"


class FlowTest(unittest.TestCase):
    service = os.environ.get("WEBINTERACTIVE_TEST_SERVICE", "")

    def config(self):
        s = self.service
        return ("<Logs><UpUserUrl>%s/upload/user</UpUserUrl><ReadUserUrl>%s/userinfo</ReadUserUrl>"
                "<UpSysUrl>%s/upload/sysinfo</UpSysUrl><MachineNum>PY-HOST</MachineNum>"
                "<DownSysPatchsUrl>%s/patch</DownSysPatchsUrl><SysId>examples</SysId>"
                "<CaseId>python</CaseId><Creator>python</Creator>"
                "<Servlet>%s/upload/log</Servlet></Logs>" % (s, s, s, s, s))

    @unittest.skipUnless(service, "no service named by WEBINTERACTIVE_TEST_SERVICE")
    def test_lists_protection_and_log_against_the_service(self):
        lines = []
        wi.set_status_sink(lines.append)
        self.addCleanup(wi.set_status_sink, None)
        wi.init(self.config())
        wi.log_set_param(self.config(), "protect", "python")
        wi.log_start()

        softs, locked = wi.download_file_list(self.service + "/filelist", GUID)
        self.assertEqual(200, wi.last_download_status())
        self.assertEqual(["DemoApp"], [soft["Name"] for soft in softs])
        soft = softs[0]
        self.assertEqual("3", soft["Version"])
        self.assertEqual(["blue"], [config["Value"] for config in soft["configs"]])
        wi.download_install_file1(self.service + "/install", "DemoApp", "demo.exe", "D:\\DemoApp")
        self.assertTrue(wi.path_exists("D:\\DemoApp\\demo.exe"))

        for file in soft["files"]:
            file["LocalPath"] = file["SetupPath"]
        wi.protect_files_to_local(soft)
        self.assertEqual(3, wi.get_protected_version(GUID))
        self.assertEqual("D:\\DemoApp", wi.get_protected_install_path(GUID))
        wi.log_save_one_log({"guid": GUID, "result": "protected",
                             "details": [wi.get_protect_xml_path(GUID)]})
        wi.clean_protect_software(GUID)
        with self.assertRaises(wi.Error):
            wi.get_protect_xml_path(GUID)

        wi.log_stop()
        self.assertEqual(200, wi.last_upload_status())
        self.assertTrue(any("DemoApp" in line for line in lines), lines)

    def test_a_failing_call_tells_why(self):
        with self.assertRaises(wi.Error) as failure:
            wi.init("this is not XML")
        self.assertEqual("WI_FAILED", failure.exception.code)
        self.assertIn("does not parse", failure.exception.reason)
        with self.assertRaises(wi.Error) as failure:
            wi.download_file_list("http://127.0.0.1:1/filelist", GUID)
        self.assertEqual("no answer from http://127.0.0.1:1/filelist", failure.exception.reason)
        with self.assertRaises(wi.Error) as failure:
            wi.log_save_one_log({"guid": GUID, "no_such_field": "x"})
        self.assertEqual("WI_MISUSE", failure.exception.code)

    def test_records_are_read_back_from_a_document(self):
        softs = wi.read_record_document(
            b"<softwares><software><BaseInfo><GUID>{A}</GUID></BaseInfo><Version><VersionInfo>"
            b"<Size>7</Size></VersionInfo><FileList><file><SId>f</SId></file></FileList>"
            b"</Version></software></softwares>")
        self.assertEqual(["{A}"], [soft["GUID"] for soft in softs])
        self.assertEqual(7, softs[0]["Size"])
        self.assertEqual(["f"], [file["SId"] for file in softs[0]["files"]])
        with self.assertRaises(wi.Error) as failure:
            wi.read_record_document(b"<softwares>\n<software></softwares>")
        self.assertIn("(the first error at line 2, column", failure.exception.reason)


if __name__ == "__main__":
    unittest.main()
