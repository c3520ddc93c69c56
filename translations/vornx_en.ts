<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>维诺星系列之来电显示</source>
        <translation>Vornx Caller ID</translation>
    </message>
    <message>
        <source>维诺星系列软件主页</source>
        <translation>Vornx software home page</translation>
    </message>
    <message>
        <source>技术支持</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AccessMirror</name>
    <message>
        <source>找不到 Access 数据库文件：%1</source>
        <translation>Access database file not found: %1</translation>
    </message>
    <message>
        <source>无法建立数据缓存文件夹：%1</source>
        <translation>Cannot create the data cache folder: %1</translation>
    </message>
    <message>
        <source>无法保存数据缓存文件：%1</source>
        <translation>Cannot save the data cache file: %1</translation>
    </message>
    <message>
        <source>无法读取 Access 数据库文件（文件损坏或不是 Access 数据库）：%1</source>
        <translation>Cannot read the Access database file (damaged, or not an Access database): %1</translation>
    </message>
    <message>
        <source>无法读取 Access 数据库的表目录：%1</source>
        <translation>Cannot read the table list of the Access database: %1</translation>
    </message>
    <message>
        <source>无法读取表“%1”</source>
        <translation>Cannot read table &quot;%1&quot;</translation>
    </message>
    <message>
        <source>复制 Access 数据库失败：%1</source>
        <translation>Copying the Access database failed: %1</translation>
    </message>
</context>
<context>
    <name>AddressBookIndex</name>
    <message>
        <source>不确定</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>女</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>男</source>
        <translation>Male</translation>
    </message>
</context>
<context>
    <name>AreaCodeFile</name>
    <message>
        <source>电话号码归属查询数据中有%1条记录无效，已跳过（%2）</source>
        <translation>%1 records of the number region data are invalid and were skipped (%2)</translation>
    </message>
    <message>
        <source>电话号码归属查询数据无法打开！</source>
        <translation>Cannot open the number region data!</translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation>&quot;%1&quot; is not a regular file</translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation>&quot;%1&quot; is too large (%2 bytes, at most %3 bytes)</translation>
    </message>
    <message>
        <source>“%1”太大（最多 %2 字节）</source>
        <translation>&quot;%1&quot; is too large (at most %2 bytes)</translation>
    </message>
</context>
<context>
    <name>Banner</name>
    <message>
        <source>维诺星来电显示</source>
        <translation>Vornx Caller ID</translation>
    </message>
</context>
<context>
    <name>BlockList</name>
    <message>
        <source>黑名单文件 %1 未能读入，不能保存，以免覆盖其中的号码。</source>
        <translation>The block list file %1 could not be read; it is not saved, so the numbers in it are not overwritten.</translation>
    </message>
    <message>
        <source>无法写入黑名单文件 %1：%2</source>
        <translation>Cannot write the block list file %1: %2</translation>
    </message>
    <message>
        <source>“%1”不是号码。请输入号码，或以 * 结尾的号码开头。</source>
        <translation>&quot;%1&quot; is not a number. Please enter a number, or the start of a number followed by *.</translation>
    </message>
    <message>
        <source>黑名单已满（最多 %1 条）。</source>
        <translation>The block list is full (at most %1 entries).</translation>
    </message>
</context>
<context>
    <name>BlockListWindow</name>
    <message>
        <source>黑名单</source>
        <translation>Block List</translation>
    </message>
    <message>
        <source>号码</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>号码，或以 * 结尾的号码开头，如 0591*</source>
        <translation>Number, or its start followed by *, e.g. 0591*</translation>
    </message>
    <message>
        <source>备注（可不填）</source>
        <translation>Note (optional)</translation>
    </message>
    <message>
        <source>加入黑名单(&amp;A)</source>
        <translation>&amp;Block</translation>
    </message>
    <message>
        <source>移出黑名单(&amp;R)</source>
        <translation>&amp;Unblock</translation>
    </message>
    <message>
        <source>拦截时接听后立即挂断(&amp;H)（对方可能因此被收取通话费）</source>
        <translation>Answer and &amp;hang up blocked calls (the caller may then be charged)</translation>
    </message>
    <message>
        <source>号码(&amp;N)：</source>
        <translation>&amp;Number:</translation>
    </message>
    <message>
        <source>备注(&amp;M)：</source>
        <translation>No&amp;te:</translation>
    </message>
    <message>
        <source>文件中另有 %1 行不是号码，已略过，保存时原样保留。</source>
        <translation>The file has %1 more lines that are not numbers; they are skipped here and kept as they are when saving.</translation>
    </message>
    <message>
        <source>黑名单中没有“%1”。</source>
        <translation>&quot;%1&quot; is not in the block list.</translation>
    </message>
</context>
<context>
    <name>CallChartView</name>
    <message>
        <source>来电</source>
        <translation>Calls</translation>
    </message>
</context>
<context>
    <name>CallExport</name>
    <message>
        <source>导出的文件“%1”无法写入：%2</source>
        <translation>Cannot write the export file &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>CallHistoryModel</name>
    <message>
        <source>来电时间</source>
        <translation>Call time</translation>
    </message>
    <message>
        <source>来电号码</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>地区</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>Calls</translation>
    </message>
</context>
<context>
    <name>CallLog</name>
    <message>
        <source>日志文件无法打开或创建！</source>
        <translation>Cannot open or create the log file!</translation>
    </message>
</context>
<context>
    <name>CallSheetPainter</name>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>客户资料</source>
        <translation>Customer details</translation>
    </message>
    <message>
        <source>  来电记录单  </source>
        <translation>  Call Record Sheet  </translation>
    </message>
    <message>
        <source>打印时间：</source>
        <translation>Printed:</translation>
    </message>
    <message>
        <source>维诺星系列－来电显示  </source>
        <translation>Vornx Caller ID  </translation>
    </message>
</context>
<context>
    <name>CallSheetPrinter</name>
    <message>
        <source>来电记录单打印</source>
        <translation>Call record sheet</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>打印机不存在或未就绪，未能打印！</source>
        <translation>The printer is missing or not ready; nothing was printed!</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print Setup</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CallerIdReport</name>
    <message>
        <source>号码: %1</source>
        <translation>Number: %1</translation>
    </message>
    <message>
        <source>无号码: 私人号码</source>
        <translation>No number: private number</translation>
    </message>
    <message>
        <source>无号码: 号码不可用</source>
        <translation>No number: number unavailable</translation>
    </message>
</context>
<context>
    <name>CallerLookup</name>
    <message>
        <source>请重新设置数据源参数！</source>
        <translation>Please set up the data source again!</translation>
    </message>
    <message>
        <source>来电号码</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>来电时间</source>
        <translation>Call time</translation>
    </message>
    <message>
        <source>客户姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>家庭地址</source>
        <translation>Home addr.</translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation>Work addr.</translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>性    别</source>
        <translation>Gender</translation>
    </message>
    <message>
        <source>生    日</source>
        <translation>Birthday</translation>
    </message>
    <message>
        <source>邮件地址</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>附    注</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>通讯薄文件中有%1张名片无法读取，已跳过。</source>
        <translation>%1 cards in the address book file could not be read and were skipped.</translation>
    </message>
    <message>
        <source>数据库中没有对应来电的通讯资料信息！</source>
        <translation>No customer record in the database matches this caller!</translation>
    </message>
    <message>
        <source>通讯薄中没有对应来电的通讯资料信息！</source>
        <translation>No contact in the address book matches this caller!</translation>
    </message>
    <message>
        <source>数据库无法打开，未能查找来电资料！</source>
        <translation>Cannot open the database; the caller was not looked up!</translation>
    </message>
    <message>
        <source>数据库操作失败，未能查找来电资料！</source>
        <translation>Database error; the caller was not looked up!</translation>
    </message>
    <message>
        <source>数据库操作失败</source>
        <translation>Database error</translation>
    </message>
</context>
<context>
    <name>CallerWindow</name>
    <message>
        <source>直接打印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>打印预览(&amp;U)</source>
        <translation>Print pre&amp;view</translation>
    </message>
    <message>
        <source>打印设置(&amp;S)</source>
        <translation>Print &amp;setup</translation>
    </message>
    <message>
        <source>无详细信息!</source>
        <translation>No details!</translation>
    </message>
    <message>
        <source>客户资料</source>
        <translation>Customer Details</translation>
    </message>
    <message>
        <source>如果有多条相关记录，可以用&lt;上一条&gt;&lt;下一条&gt;查看。    </source>
        <translation>If several records match, see them with &lt;Previous&gt; and &lt;Next&gt;.    </translation>
    </message>
    <message>
        <source>项    目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>资    料</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>上一条</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>上一条记录 </source>
        <translation>Previous record </translation>
    </message>
    <message>
        <source>下一条(&amp;N)</source>
        <translation>&amp;Next record</translation>
    </message>
    <message>
        <source>回拨</source>
        <translation>Call back</translation>
    </message>
    <message>
        <source>回拨(&amp;R)</source>
        <translation>Call &amp;back</translation>
    </message>
    <message>
        <source>接听</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>接听电话</source>
        <translation>Answer the call</translation>
    </message>
    <message>
        <source>挂断电话</source>
        <translation>Hang up</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>历史来电(&amp;H)</source>
        <translation>Call &amp;history</translation>
    </message>
    <message>
        <source>详细资料</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>详细信息(&amp;M)</source>
        <translation>&amp;More details</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>添加新客户资料</source>
        <translation>Add a new customer</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打  印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>↓</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>更多信息...</source>
        <translation>More information...</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>第 %1/%2 条</source>
        <translation>Record %1 of %2</translation>
    </message>
    <message>
        <source>↑</source>
        <translation>↑</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CommandLineHelp</name>
    <message>
        <source>用法：vornx [--data-dir 文件夹] [--region 电话号码] [--lang zh|en]
维诺星系列－来电显示：监视电话线路，显示来电号码的地区和客户资料，并记录每一个来电。

选项：
  --data-dir 文件夹    程序文件夹（设置、区号表、通话记录、声音、帮助）；
                       新的或空的文件夹会先复制进随程序提供的文件。
                       也可由环境变量 VORNX_DATA_DIR 指定。
  --region 电话号码    显示该号码所在的地区后退出，不打开窗口。
  --lang zh|en         界面语言：中文或英文；不指定时随桌面的语言设置
                       （中文环境或未设置时为中文，其他语言为英文）。
  -h, --help           显示本帮助后退出。
  --version            显示版本后退出。

程序文件夹：%1
</source>
        <translation>Usage: vornx [--data-dir FOLDER] [--region NUMBER] [--lang zh|en]
Vornx Caller ID: watches the telephone line, shows the region and the customer record of each caller, and logs every call.

Options:
  --data-dir FOLDER    program folder (settings, region table, call log, sounds, help);
                       a new or empty folder first gets the files shipped with the program.
                       The environment variable VORNX_DATA_DIR names it as well.
  --region NUMBER      prints the region of the number and exits without a window.
  --lang zh|en         language of the program: Chinese or English; without it the
                       desktop&apos;s language decides (Chinese or unset: Chinese, any other: English).
  -h, --help           prints this help and exits.
  --version            prints the version and exits.

Program folder: %1
</translation>
    </message>
</context>
<context>
    <name>ConnectionDialog</name>
    <message>
        <source>数据库连接配置</source>
        <translation>Database Connection Setup</translation>
    </message>
    <message>
        <source>在此选择您已经存在的数据库系统</source>
        <translation>Choose the database system you already have</translation>
    </message>
    <message>
        <source>数据库类型</source>
        <translation>Database type</translation>
    </message>
    <message>
        <source>参数配置</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>完成(&amp;F)</source>
        <translation>&amp;Finish</translation>
    </message>
    <message>
        <source>ODBC连接配置</source>
        <translation>ODBC connection</translation>
    </message>
    <message>
        <source>Microsoft Access (.mdb) 配置</source>
        <translation>Microsoft Access (.mdb)</translation>
    </message>
    <message>
        <source>SQLite 数据库文件配置</source>
        <translation>SQLite database file</translation>
    </message>
    <message>
        <source>InterBase配置</source>
        <translation>InterBase</translation>
    </message>
    <message>
        <source>Microsoft Sql Server 配置</source>
        <translation>Microsoft SQL Server</translation>
    </message>
    <message>
        <source>Paradox 配置</source>
        <translation>Paradox</translation>
    </message>
    <message>
        <source>Oracle 配置</source>
        <translation>Oracle</translation>
    </message>
    <message>
        <source>Sybase 配置</source>
        <translation>Sybase</translation>
    </message>
    <message>
        <source>下一步&gt;(&amp;N)</source>
        <translation>&amp;Next &gt;</translation>
    </message>
    <message>
        <source>测试连接(&amp;L)</source>
        <translation>&amp;Test connection</translation>
    </message>
    <message>
        <source>新建(&amp;E)...</source>
        <translation>N&amp;ew...</translation>
    </message>
    <message>
        <source>用户/系统
DSN:：(&amp;M)</source>
        <translation>User/system
&amp;DSN:</translation>
    </message>
    <message>
        <source>用户名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>密     码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>数据库文件名称：</source>
        <translation>Database file:</translation>
    </message>
    <message>
        <source>例：/home/user/Orvel/Data/LoginDB.mdb</source>
        <translation>Example: /home/user/Orvel/Data/LoginDB.mdb</translation>
    </message>
    <message>
        <source>密    码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>例：/home/user/客户资料.db
只写文件名时，指程序文件夹中的文件。</source>
        <translation>Example: /home/user/customers.db
A file name alone means a file in the program folder.</translation>
    </message>
    <message>
        <source>服务器名称：</source>
        <translation>Server name:</translation>
    </message>
    <message>
        <source>例：192.168.0.1 或 (Local)</source>
        <translation>Example: 192.168.0.1 or (Local)</translation>
    </message>
    <message>
        <source>用 户 名 称：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>空密码</source>
        <translation>Empty password</translation>
    </message>
    <message>
        <source>登 陆 密 码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>数 据 库 名：</source>
        <translation>Database:</translation>
    </message>
    <message>
        <source>用  户  名：</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>测试连接成功!</source>
        <translation>Connection test passed!</translation>
    </message>
    <message>
        <source>测试连接失败!</source>
        <translation>Connection test failed!</translation>
    </message>
    <message>
        <source>测试连接失败：</source>
        <translation>Connection test failed: </translation>
    </message>
    <message>
        <source>选择数据库文件</source>
        <translation>Choose the database file</translation>
    </message>
    <message>
        <source>Microsoft Access (*.mdb);;所有文件 (*)</source>
        <translation>Microsoft Access (*.mdb);;All files (*)</translation>
    </message>
    <message>
        <source>SQLite 数据库 (*.db *.sqlite *.sqlite3);;所有文件 (*)</source>
        <translation>SQLite databases (*.db *.sqlite *.sqlite3);;All files (*)</translation>
    </message>
    <message>
        <source>正在连接数据源…</source>
        <translation>Connecting to the data source…</translation>
    </message>
</context>
<context>
    <name>ConnectionString</name>
    <message>
        <source>连接字符串格式错误：第 %1 段缺少“=”。</source>
        <translation>Connection string error: part %1 has no &quot;=&quot;.</translation>
    </message>
    <message>
        <source>连接字符串格式错误：第 %1 段缺少名称。</source>
        <translation>Connection string error: part %1 has no name.</translation>
    </message>
    <message>
        <source>连接字符串格式错误：“%1”的值缺少结束引号。</source>
        <translation>Connection string error: the value of &quot;%1&quot; has no closing quote.</translation>
    </message>
    <message>
        <source>连接字符串格式错误：“%1”的引号后还有文字。</source>
        <translation>Connection string error: text follows the quotes of &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>连接字符串没有指定数据提供程序（Provider）。</source>
        <translation>The connection string names no data provider (Provider).</translation>
    </message>
    <message>
        <source>不支持的数据提供程序“%1”（可用：MSDASQL.1、Microsoft.Jet.OLEDB.4.0、SQLite）。</source>
        <translation>Unsupported data provider &quot;%1&quot; (available: MSDASQL.1, Microsoft.Jet.OLEDB.4.0, SQLite).</translation>
    </message>
    <message>
        <source>连接字符串缺少数据源（Data Source）。</source>
        <translation>The connection string names no data source (Data Source).</translation>
    </message>
    <message>
        <source>连接字符串的数据源（Data Source）为空。</source>
        <translation>The data source (Data Source) of the connection string is empty.</translation>
    </message>
</context>
<context>
    <name>ContactDialog</name>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>电话</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>附注</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>商务电话</source>
        <translation>Business phone</translation>
    </message>
    <message>
        <source>回拨电话</source>
        <translation>Callback phone</translation>
    </message>
    <message>
        <source>住宅电话</source>
        <translation>Home phone</translation>
    </message>
    <message>
        <source>主要电话</source>
        <translation>Main phone</translation>
    </message>
    <message>
        <source>商务电话 2</source>
        <translation>Business phone 2</translation>
    </message>
    <message>
        <source>移动电话</source>
        <translation>Mobile phone</translation>
    </message>
    <message>
        <source>无线电话</source>
        <translation>Radio phone</translation>
    </message>
    <message>
        <source>车载电话</source>
        <translation>Car phone</translation>
    </message>
    <message>
        <source>其他电话</source>
        <translation>Other phone</translation>
    </message>
    <message>
        <source>寻呼机</source>
        <translation>Pager</translation>
    </message>
    <message>
        <source>助理电话</source>
        <translation>Assistant&apos;s phone</translation>
    </message>
    <message>
        <source>住宅电话 2</source>
        <translation>Home phone 2</translation>
    </message>
    <message>
        <source>公司总机</source>
        <translation>Company main phone</translation>
    </message>
    <message>
        <source>TTY/TDD 电话</source>
        <translation>TTY/TDD phone</translation>
    </message>
    <message>
        <source>不确定</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>女</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>男</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>姓(&amp;L)：</source>
        <translation>&amp;Last name:</translation>
    </message>
    <message>
        <source>名(&amp;F)：</source>
        <translation>&amp;First name:</translation>
    </message>
    <message>
        <source>显示名称(&amp;D)：</source>
        <translation>&amp;Display name:</translation>
    </message>
    <message>
        <source>电子邮件(&amp;M)：</source>
        <translation>E-&amp;mail:</translation>
    </message>
    <message>
        <source>公司(&amp;C)：</source>
        <translation>&amp;Company:</translation>
    </message>
    <message>
        <source>性别(&amp;G)：</source>
        <translation>&amp;Gender:</translation>
    </message>
    <message>
        <source>生日(&amp;B)：</source>
        <translation>&amp;Birthday:</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>号码</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>添加号码(&amp;A)</source>
        <translation>&amp;Add number</translation>
    </message>
    <message>
        <source>删除号码(&amp;R)</source>
        <translation>&amp;Remove number</translation>
    </message>
    <message>
        <source>街道：</source>
        <translation>Street:</translation>
    </message>
    <message>
        <source>城市：</source>
        <translation>City:</translation>
    </message>
    <message>
        <source>省/自治区：</source>
        <translation>State/Province:</translation>
    </message>
    <message>
        <source>邮政编码：</source>
        <translation>Postal code:</translation>
    </message>
    <message>
        <source>国家/地区：</source>
        <translation>Country/Region:</translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation>Business address</translation>
    </message>
    <message>
        <source>家庭地址</source>
        <translation>Home address</translation>
    </message>
    <message>
        <source>请填写联系人的姓名或显示名称。</source>
        <translation>Please enter the contact&apos;s name or display name.</translation>
    </message>
    <message>
        <source>生日请按“年-月-日”填写，例如 1980-05-17。</source>
        <translation>Please enter the birthday as year-month-day, for example 1980-05-17.</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>通讯薄中已没有这个联系人。</source>
        <translation>This contact is no longer in the address book.</translation>
    </message>
    <message>
        <source>%1 属性</source>
        <translation>%1 Properties</translation>
    </message>
    <message>
        <source>新建联系人</source>
        <translation>New Contact</translation>
    </message>
</context>
<context>
    <name>ContactStore</name>
    <message>
        <source>无法读取通讯薄文件 %1：%2</source>
        <translation>Cannot read the address book file %1: %2</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>This is a folder</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>文件太大（%1 字节，最多 %2 字节）</source>
        <translation>File too large (%1 bytes, at most %2 bytes)</translation>
    </message>
    <message>
        <source>文件太大（%1 字节以上，最多 %2 字节）</source>
        <translation>File too large (over %1 bytes, at most %2 bytes)</translation>
    </message>
    <message>
        <source>通讯薄中已没有这个联系人。</source>
        <translation>This contact is no longer in the address book.</translation>
    </message>
    <message>
        <source>这个联系人已被其他程序修改或删除，修改没有保存。</source>
        <translation>Another program has changed or deleted this contact; the changes were not saved.</translation>
    </message>
    <message>
        <source>无法保存通讯薄文件 %1：%2</source>
        <translation>Cannot save the address book file %1: %2</translation>
    </message>
</context>
<context>
    <name>ContactsWindow</name>
    <message>
        <source>通讯薄</source>
        <translation>Address Book</translation>
    </message>
    <message>
        <source>输入姓名或号码查找</source>
        <translation>Type a name or number to find</translation>
    </message>
    <message>
        <source>新建联系人(&amp;N)</source>
        <translation>&amp;New contact</translation>
    </message>
    <message>
        <source>属性(&amp;R)</source>
        <translation>P&amp;roperties</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>电话</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>公司</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>电子邮件</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>查找(&amp;F)：</source>
        <translation>&amp;Find:</translation>
    </message>
    <message>
        <source>共 %1 个联系人&#x3000;文件：%2</source>
        <translation>%1 contacts   File: %2</translation>
    </message>
</context>
<context>
    <name>DataSourceSettings</name>
    <message>
        <source>%1，来电查询按默认设置（通讯薄）进行。</source>
        <translation>%1; callers are looked up with the default settings (address book).</translation>
    </message>
    <message>
        <source>“%1”不是设置文件（没有可读的节），来电查询按默认设置（通讯薄）进行。</source>
        <translation>&quot;%1&quot; is not a settings file (no readable section); callers are looked up with the default settings (address book).</translation>
    </message>
    <message>
        <source>“%1”中 [TABLESET] 的 FIELDNUM=%2 超出范围（0 到 %3），按 %4 个字段读取。</source>
        <translation>FIELDNUM=%2 of [TABLESET] in &quot;%1&quot; is out of range (0 to %3); %4 fields are read.</translation>
    </message>
</context>
<context>
    <name>DataSourceWizard</name>
    <message>
        <source>数据源设置向导</source>
        <translation>Data Source Wizard</translation>
    </message>
    <message>
        <source>请选择客户资料数据来源...</source>
        <translation>Please choose where the customer details come from...</translation>
    </message>
    <message>
        <source>当本系统监听到来电后，取得来电号码。再根据号码查询</source>
        <translation>When a call comes in, the program takes the caller&apos;s number, looks up</translation>
    </message>
    <message>
        <source>在此指定数据源中的客户资料并显示。</source>
        <translation>the customer details in the data source chosen here and shows them.</translation>
    </message>
    <message>
        <source>本地Windows地址薄。查询Windows附件中的地址薄。(&amp;W)</source>
        <translation>Local &amp;Windows address book: looks up the Windows address book.</translation>
    </message>
    <message>
        <source>外部数据源。查询外部系统数据库或数据文件。(&amp;O)</source>
        <translation>External data s&amp;ource: looks up another system&apos;s database or data file.</translation>
    </message>
    <message>
        <source>晨拓进销存数据源。（本软件作者提供的</source>
        <translation>Chentuo Inventory data source (the stock-keeping program</translation>
    </message>
    <message>
        <source>仓库管理软件）(&amp;D)</source>
        <translation>by the &amp;developer of this program)</translation>
    </message>
    <message>
        <source>选择数据源</source>
        <translation>Choose data source</translation>
    </message>
    <message>
        <source>选择客户资料表:</source>
        <translation>Customer table:</translation>
    </message>
    <message>
        <source>表字段</source>
        <translation>Table field</translation>
    </message>
    <message>
        <source>查看字段</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>电话号码</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>映射字段名</source>
        <translation>Shown as</translation>
    </message>
    <message>
        <source>↑</source>
        <translation>↑</translation>
    </message>
    <message>
        <source>↓</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>晨拓进销存系统账套选择</source>
        <translation>Chentuo Inventory account set</translation>
    </message>
    <message>
        <source>在此选择一个晨拓进销存系统的账套作为你的外部数据源</source>
        <translation>Choose an account set of Chentuo Inventory as your external data source</translation>
    </message>
    <message>
        <source>晨拓进销存安装路径：</source>
        <translation>Chentuo Inventory folder:</translation>
    </message>
    <message>
        <source>选择路径</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>账   套   列   表：</source>
        <translation>Account sets:</translation>
    </message>
    <message>
        <source>账套名称</source>
        <translation>Account set</translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>测试账套</source>
        <translation>Test account set</translation>
    </message>
    <message>
        <source>业务信息设置</source>
        <translation>Business records</translation>
    </message>
    <message>
        <source>请在此配置来电时查看客户相关的业务信息</source>
        <translation>Set up which of the customer&apos;s business records are shown for a call</translation>
    </message>
    <message>
        <source>第一步：选择业务表(如出库记录表)</source>
        <translation>Step 1: choose the business table (such as the goods-out table)</translation>
    </message>
    <message>
        <source>第二步：设置业务表如客户资料表的关联关系</source>
        <translation>Step 2: set how the business table joins the customer table</translation>
    </message>
    <message>
        <source>业务表字段</source>
        <translation>Business table field</translation>
    </message>
    <message>
        <source>客户表字段</source>
        <translation>Customer table field</translation>
    </message>
    <message>
        <source>&lt; 上一步(&amp;B)</source>
        <translation>&lt; &amp;Back</translation>
    </message>
    <message>
        <source>下一步(&amp;N) &gt;</source>
        <translation>&amp;Next &gt;</translation>
    </message>
    <message>
        <source>完成(&amp;F)</source>
        <translation>&amp;Finish</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>选择晨拓进销存管理系统安装路径</source>
        <translation>Choose the folder Chentuo Inventory is installed in</translation>
    </message>
    <message>
        <source>没有选中路径！</source>
        <translation>No folder chosen!</translation>
    </message>
    <message>
        <source>路径错,请重新选择晨拓进销存安装路径!</source>
        <translation>Wrong folder; please choose the Chentuo Inventory folder again!</translation>
    </message>
    <message>
        <source>晨拓进销存数据库可能被破坏!</source>
        <translation>The Chentuo Inventory database may be damaged! </translation>
    </message>
    <message>
        <source>没有选择账套,请在列表框内选择!</source>
        <translation>No account set chosen; please choose one in the list!</translation>
    </message>
    <message>
        <source>无效账套,请重新选择!</source>
        <translation>Invalid account set; please choose again!</translation>
    </message>
    <message>
        <source>有效账套!</source>
        <translation>Valid account set!</translation>
    </message>
    <message>
        <source>请正确指定电话号码字段与查看字段！</source>
        <translation>Please mark the phone number field and the fields to show!</translation>
    </message>
    <message>
        <source>设置保存失败：</source>
        <translation>The settings were not saved: </translation>
    </message>
    <message>
        <source>设置成功！新设置从下一次来电起生效。</source>
        <translation>Settings saved! They apply from the next call on.</translation>
    </message>
    <message>
        <source>正在连接数据源…</source>
        <translation>Connecting to the data source…</translation>
    </message>
    <message>
        <source>连接数据源失败：%1</source>
        <translation>Could not connect to the data source: %1</translation>
    </message>
</context>
<context>
    <name>DataSourceWriter</name>
    <message>
        <source>找不到模板文件“%1”。</source>
        <translation>Template file &quot;%1&quot; not found.</translation>
    </message>
    <message>
        <source>无法复制模板文件“%1”。</source>
        <translation>Cannot copy the template file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>%1过长（%2 字节），最多 %3 字节。</source>
        <translation>%1 is too long (%2 bytes); at most %3 bytes.</translation>
    </message>
    <message>
        <source>无法写入“%1”。</source>
        <translation>Cannot write &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>连接字符串</source>
        <translation>The connection string</translation>
    </message>
    <message>
        <source>客户资料查询语句</source>
        <translation>The customer query</translation>
    </message>
    <message>
        <source>业务记录查询语句</source>
        <translation>The business records query</translation>
    </message>
    <message>
        <source>字段标题“%1”</source>
        <translation>The field caption &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>DbConnection</name>
    <message>
        <source>找不到 SQLite 数据库文件：%1</source>
        <translation>SQLite database file not found: %1</translation>
    </message>
    <message>
        <source>数据库驱动不可用。</source>
        <translation>The database driver is not available.</translation>
    </message>
    <message>
        <source>数据库连接未打开。</source>
        <translation>The database connection is not open.</translation>
    </message>
    <message>
        <source>找不到表“%1”或表中没有字段。</source>
        <translation>Table &quot;%1&quot; not found, or it has no fields.</translation>
    </message>
</context>
<context>
    <name>DbDataSet</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation>No database connection given.</translation>
    </message>
    <message>
        <source>语句没有返回记录集。</source>
        <translation>The statement returned no records.</translation>
    </message>
    <message>
        <source>数据集未打开，无法执行此操作。</source>
        <translation>The data set is not open; this cannot be done.</translation>
    </message>
    <message>
        <source>找不到字段“%1”。</source>
        <translation>Field &quot;%1&quot; not found.</translation>
    </message>
    <message>
        <source>字段序号 %1 超出范围。</source>
        <translation>Field number %1 is out of range.</translation>
    </message>
    <message>
        <source>数据集中没有记录。</source>
        <translation>The data set has no records.</translation>
    </message>
</context>
<context>
    <name>DbQuery</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation>No database connection given.</translation>
    </message>
</context>
<context>
    <name>DbTable</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation>No database connection given.</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>对不起，打开帮助文件出错！</source>
        <translation>Sorry, the help file could not be opened!</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>%1（正在读取…）</source>
        <translation>%1 (reading…)</translation>
    </message>
    <message>
        <source>%1（最近 %2 次来电，更早的 %3 次未列出）</source>
        <translation>%1 (latest %2 calls; %3 earlier calls not listed)</translation>
    </message>
    <message>
        <source>错误信息</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>Call History</translation>
    </message>
    <message>
        <source>历史来电记录    </source>
        <translation>Call history    </translation>
    </message>
    <message>
        <source>按号码、备注或日期查找</source>
        <translation>Find by number, note or date</translation>
    </message>
    <message>
        <source>日期从</source>
        <translation>Dates from</translation>
    </message>
    <message>
        <source>至</source>
        <translation>to</translation>
    </message>
    <message>
        <source>来电最多</source>
        <translation>Most calls</translation>
    </message>
    <message>
        <source>加入黑名单</source>
        <translation>Add to block list</translation>
    </message>
    <message>
        <source>移出黑名单</source>
        <translation>Remove from block list</translation>
    </message>
    <message>
        <source>黑名单…</source>
        <translation>Block list…</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>详细信息(&amp;M)</source>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>清除记录</source>
        <translation>Clear history</translation>
    </message>
    <message>
        <source>确定(&amp;Y)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>共 %1 次来电</source>
        <translation>Calls: %1</translation>
    </message>
    <message>
        <source>%1（%2 次）</source>
        <translation>%1 (%2×)</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>没有记录被选择！</source>
        <translation>No record is selected!</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>来电记录 (*.Log)</source>
        <translation>Call log (*.Log)</translation>
    </message>
    <message>
        <source>来电记录</source>
        <translation>Calls</translation>
    </message>
    <message>
        <source>确实要清除全部历史来电记录吗？清除后不能恢复。</source>
        <translation>Really clear the whole call history? It cannot be brought back.</translation>
    </message>
    <message>
        <source>历史记录无法清除！</source>
        <translation>The call history cannot be cleared!</translation>
    </message>
    <message>
        <source>图表无法显示：%1</source>
        <translation>The chart cannot be shown: %1</translation>
    </message>
    <message>
        <source>没有来电</source>
        <translation>No calls</translation>
    </message>
    <message>
        <source>%1 每小时来电</source>
        <translation>Calls per hour on %1</translation>
    </message>
    <message>
        <source>每日来电</source>
        <translation>Calls per day</translation>
    </message>
</context>
<context>
    <name>LineMonitorLog</name>
    <message>
        <source>收</source>
        <translation>In</translation>
    </message>
    <message>
        <source>发</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>识别</source>
        <translation>Found</translation>
    </message>
    <message>
        <source>模拟来电</source>
        <translation>Test call</translation>
    </message>
</context>
<context>
    <name>LineMonitorWindow</name>
    <message>
        <source>线路监视</source>
        <translation>Line Monitor</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>来电号码</source>
        <translation>Caller number</translation>
    </message>
    <message>
        <source>模拟来电</source>
        <translation>Test call</translation>
    </message>
    <message>
        <source>号码:</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>保存线路监视记录</source>
        <translation>Save the line monitor log</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>无法保存线路监视记录: %1</source>
        <translation>Cannot save the line monitor log: %1</translation>
    </message>
</context>
<context>
    <name>LineProviderSetup</name>
    <message>
        <source>NCID 服务器线路的配置文件有误，请在线路配置中重新填写：
%1</source>
        <translation>The settings file of the NCID server line is damaged; please enter them again in the line configuration:
%1</translation>
    </message>
    <message>
        <source>MQTT 网络线路的配置文件有误，请在线路配置中重新填写：
%1</source>
        <translation>The settings file of the MQTT network line is damaged; please enter them again in the line configuration:
%1</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>模拟电话线路的配置文件有误，模拟线路不可用：
%1</source>
        <translation>The settings file of the simulated telephone line is damaged; the simulated line is not available:
%1</translation>
    </message>
    <message>
        <source>SIP线路的账号文件有误，请在线路配置中重新填写：
%1</source>
        <translation>The account file of the SIP line is damaged; please enter the account again in the line configuration:
%1</translation>
    </message>
</context>
<context>
    <name>LoadingNotice</name>
    <message>
        <source>正在加载参数...</source>
        <translation>Loading settings...</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>线路监视</source>
        <translation>Line monitor</translation>
    </message>
    <message>
        <source>无法写入自动启动项“%1”，下次不会按此设置自动启动。</source>
        <translation>Cannot write the autostart entry &quot;%1&quot;; the program will not start by itself next time.</translation>
    </message>
    <message>
        <source>设置无法保存到“%1”，下次启动时仍使用原来的设置。</source>
        <translation>The settings cannot be saved to &quot;%1&quot;; the next start uses the previous settings.</translation>
    </message>
    <message>
        <source>%1，按默认设置运行。</source>
        <translation>%1; running with the default settings.</translation>
    </message>
    <message>
        <source>没有可用的TAPI线路，来电监控没有启动。</source>
        <translation>No TAPI line is available; call monitoring has not started.</translation>
    </message>
    <message>
        <source>无法打开TAPI线路，来电监控没有启动：</source>
        <translation>Cannot open the TAPI line; call monitoring has not started: </translation>
    </message>
    <message>
        <source>TAPI线路已被关闭，来电监控已停止。请按“监控”重新开始。</source>
        <translation>The TAPI line was closed; call monitoring has stopped. Press &quot;Monitor&quot; to start again.</translation>
    </message>
    <message>
        <source>回拨失败：</source>
        <translation>Callback failed: </translation>
    </message>
    <message>
        <source>桌面通知(&amp;N)</source>
        <translation>Desktop &amp;notifications</translation>
    </message>
    <message>
        <source>来电：%1</source>
        <translation>Call: %1</translation>
    </message>
    <message>
        <source>显示资料</source>
        <translation>Show details</translation>
    </message>
    <message>
        <source>正在监控来电：%1</source>
        <translation>Monitoring calls: %1</translation>
    </message>
    <message>
        <source>未在监控来电</source>
        <translation>Not monitoring calls</translation>
    </message>
    <message>
        <source>设备已断开，来电监控已停止：%1</source>
        <translation>Device disconnected; call monitoring has stopped: %1</translation>
    </message>
    <message>
        <source>维诺星系列－来电显示V3.0</source>
        <translation>Vornx Caller ID V3.0</translation>
    </message>
    <message>
        <source>请选择电话设备    </source>
        <translation>Choose a device    </translation>
    </message>
    <message>
        <source>    来电Modem</source>
        <translation>    Caller ID modem</translation>
    </message>
    <message>
        <source>连接端口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>初始化AT：</source>
        <translation>Init AT:</translation>
    </message>
    <message>
        <source>来电开AT：</source>
        <translation>Caller ID AT:</translation>
    </message>
    <message>
        <source>测试Modem</source>
        <translation>Test modem</translation>
    </message>
    <message>
        <source>    TAPI来电设备</source>
        <translation>    TAPI line device</translation>
    </message>
    <message>
        <source>线路配置</source>
        <translation>Line configuration</translation>
    </message>
    <message>
        <source>下次自动启动</source>
        <translation>Start next time</translation>
    </message>
    <message>
        <source>汇线通,去来电首位     </source>
        <translation>Centrex: drop first digit     </translation>
    </message>
    <message>
        <source>转为DTMF制式</source>
        <translation>Use DTMF</translation>
    </message>
    <message>
        <source>监控(&amp;S)</source>
        <translation>&amp;Monitor</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>TAPI来电设备: </source>
        <translation>TAPI line device: </translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>致命的错误, TAPI版本协商失败</source>
        <translation>Fatal error: TAPI version negotiation failed</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>测试成功！</source>
        <translation>Test passed!</translation>
    </message>
    <message>
        <source>MODEM错误:</source>
        <translation>Modem error: </translation>
    </message>
    <message>
        <source>Modem已断开，来电监控已停止。请接好Modem后按“监控”重新开始。<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>The modem was disconnected; call monitoring has stopped. Reconnect the modem and press &quot;Monitor&quot; to start again.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>在线升级(&amp;U)</source>
        <translation>Online &amp;update</translation>
    </message>
    <message>
        <source>历史记录(&amp;L)</source>
        <translation>Call &amp;history</translation>
    </message>
    <message>
        <source>通讯薄(&amp;A)</source>
        <translation>Address &amp;book</translation>
    </message>
    <message>
        <source>号码归属查询(&amp;P)</source>
        <translation>&amp;Region lookup</translation>
    </message>
    <message>
        <source>选择设备(&amp;S)</source>
        <translation>&amp;Choose device</translation>
    </message>
    <message>
        <source>设置数据源(&amp;D)</source>
        <translation>&amp;Data source</translation>
    </message>
    <message>
        <source>关闭(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>维诺星系列－来电显示</source>
        <translation>Vornx Caller ID</translation>
    </message>
    <message>
        <source>无法启动在线升级程序“Update.exe”，请重新安装！</source>
        <translation>Cannot start the online updater &quot;Update.exe&quot;; please reinstall!</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>通讯薄安装错误，请重新安装！</source>
        <translation>The address book is not installed properly; please reinstall!</translation>
    </message>
    <message>
        <source>COM%1：%2</source>
        <translation>COM%1: %2</translation>
    </message>
    <message>
        <source>COM%1：本机没有对应的串口设备</source>
        <translation>COM%1: no serial device on this computer</translation>
    </message>
    <message>
        <source>COM%1：%2（设备不存在）</source>
        <translation>COM%1: %2 (device missing)</translation>
    </message>
    <message>
        <source>黑名单(&amp;B)...</source>
        <translation>B&amp;lock list...</translation>
    </message>
</context>
<context>
    <name>Maker</name>
    <message>
        <source>维诺星软件工作室</source>
        <translation>Vornx Software Studio</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>ModemLine</name>
    <message>
        <source>打开来显示功能失败.</source>
        <translation>Turning on caller ID failed.</translation>
    </message>
    <message>
        <source>无法打开来显示功能,请重新设置。<byte value="xd"/>
<byte value="xd"/>
如果重试所有指令都不成功，表明的Modem不支持来电显示.</source>
        <translation>Cannot turn on caller ID; please set the command again.<byte value="xd"/>
<byte value="xd"/>
If every command fails, the modem does not support caller ID.</translation>
    </message>
    <message>
        <source>初始化失败.</source>
        <translation>Initialisation failed.</translation>
    </message>
    <message>
        <source>初始化失败,请重新设置初始化指令.</source>
        <translation>Initialisation failed; please set the initialisation command again.</translation>
    </message>
    <message>
        <source>Modem初始化失败,请重新设置初始化指令.</source>
        <translation>Modem initialisation failed; please set the initialisation command again.</translation>
    </message>
</context>
<context>
    <name>MosquittoLibrary</name>
    <message>
        <source>无法加载 MQTT 客户端库 %1: %2</source>
        <translation>Cannot load the MQTT client library %1: %2</translation>
    </message>
    <message>
        <source>MQTT 客户端库 %1 缺少函数 %2</source>
        <translation>The MQTT client library %1 lacks the function %2</translation>
    </message>
</context>
<context>
    <name>MqttLineConfigDialog</name>
    <message>
        <source>使用 TLS 加密（校验服务器证书）</source>
        <translation>Use TLS encryption (check the server certificate)</translation>
    </message>
    <message>
        <source>MQTT 网络线路配置</source>
        <translation>MQTT Network Line Configuration</translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>主题前缀:</source>
        <translation>Topic prefix:</translation>
    </message>
    <message>
        <source>客户端标识:</source>
        <translation>Client ID:</translation>
    </message>
    <message>
        <source>用户名:</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>CA 证书文件:</source>
        <translation>CA certificate file:</translation>
    </message>
    <message>
        <source>心跳间隔(秒):</source>
        <translation>Keep-alive (seconds):</translation>
    </message>
    <message>
        <source>连接状态: %1
配置文件: %2
本机的来电也发布到同一服务器。</source>
        <translation>Connection: %1
Settings file: %2
Calls of this PC are published to the same server too.</translation>
    </message>
    <message>
        <source>主题前缀不能为空，也不能含有 # 或 +。</source>
        <translation>The topic prefix must not be empty and must not contain # or +.</translation>
    </message>
    <message>
        <source>使用 TLS 时请填写 CA 证书文件。</source>
        <translation>With TLS, please enter the CA certificate file.</translation>
    </message>
</context>
<context>
    <name>MqttLineProvider</name>
    <message>
        <source>未配置</source>
        <translation>Not configured</translation>
    </message>
    <message>
        <source>MQTT 服务器</source>
        <translation>MQTT server</translation>
    </message>
    <message>
        <source>正在连接</source>
        <translation>Connecting</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>连接被拒绝: %1</source>
        <translation>Connection refused: %1</translation>
    </message>
    <message>
        <source>无法连接: %1</source>
        <translation>Cannot connect: %1</translation>
    </message>
</context>
<context>
    <name>NcidLineConfigDialog</name>
    <message>
        <source>NCID 服务器线路配置</source>
        <translation>NCID Server Line Configuration</translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>连接状态: %1</source>
        <translation>Connection: %1</translation>
    </message>
</context>
<context>
    <name>NcidLineProvider</name>
    <message>
        <source>未配置服务器</source>
        <translation>No server configured</translation>
    </message>
    <message>
        <source>正在连接</source>
        <translation>Connecting</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>连接被拒绝</source>
        <translation>Connection refused</translation>
    </message>
    <message>
        <source>无法连接</source>
        <translation>Cannot connect</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>端口号无效: %1</source>
        <translation>Invalid port number: %1</translation>
    </message>
    <message>
        <source>NCID 服务器</source>
        <translation>NCID server</translation>
    </message>
</context>
<context>
    <name>NetworkLineConfigDialog</name>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>NumberIndex</name>
    <message>
        <source>客户查询语句不是向导生成的形式，来电号码按语句原样查找（不建号码索引）。</source>
        <translation>The customer query is not in the form the wizard writes; the caller&apos;s number is looked up with the query as it stands (no number index).</translation>
    </message>
    <message>
        <source>来电号码在以下电话字段中查找：%1。程序为这些字段建号码索引（不改动您的数据库），号码中的空格、横线、括号、+86/0086 和“转”后的分机号都不影响查找，例如“0591-8765 4321”“(0591) 87654321”“+86 591 8765 4321”都能按来电 59187654321 找到。</source>
        <translation>The caller&apos;s number is looked up in these telephone fields: %1. The program keeps a number index of them (your database is not changed), so spaces, dashes, brackets, +86/0086 and an extension after the number (&quot;ext. 12&quot;) do not get in the way: &quot;0591-8765 4321&quot;, &quot;(0591) 87654321&quot; and &quot;+86 591 8765 4321&quot; are all found for a call from 59187654321.</translation>
    </message>
</context>
<context>
    <name>OdbcSetupHelp</name>
    <message>
        <source>没有安装任何 ODBC 驱动程序（Debian 软件包 libsqliteodbc、odbc-postgresql）。</source>
        <translation>No ODBC driver is installed (Debian packages libsqliteodbc, odbc-postgresql).</translation>
    </message>
    <message>
        <source>已安装的驱动程序（Driver=）：%1</source>
        <translation>Installed drivers (Driver=): %1</translation>
    </message>
    <message>
        <source>本机没有 ODBC 数据源管理程序。请用文本编辑器在下列文件中加入数据源：
用户数据源：%1
系统数据源：%2（需要管理员权限）

SQLite 数据库文件的例子：
%3

PostgreSQL 数据库的例子：
%4

%5
保存后再打开“参数配置”页，新的数据源就在列表中。</source>
        <translation>This computer has no ODBC data source administrator. Add the data source with a text editor to one of these files:
User data sources: %1
System data sources: %2 (needs administrator rights)

Example for an SQLite database file:
%3

Example for a PostgreSQL database:
%4

%5
After saving, open the &quot;Parameters&quot; page again: the new data source is in the list.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>PluginLoader</name>
    <message>
        <source>无法加载插件 %1: %2</source>
        <translation>Cannot load the plugin %1: %2</translation>
    </message>
    <message>
        <source>插件 %1 不是本程序的版本</source>
        <translation>The plugin %1 is not of this version of the program</translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>文件夹不属于当前用户或其他用户可写</source>
        <translation>The folder does not belong to the current user, or other users can write to it</translation>
    </message>
    <message>
        <source>无法使用文件夹“%1”：%2</source>
        <translation>Cannot use the folder &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>PrivateProfile</name>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation>Cannot read &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation>&quot;%1&quot; is not a regular file</translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation>&quot;%1&quot; is too large (%2 bytes, at most %3 bytes)</translation>
    </message>
    <message>
        <source>“%1”不是文本文件（应为 GBK 或 UTF-8 编码）</source>
        <translation>&quot;%1&quot; is not a text file (it should be GBK or UTF-8)</translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>无法创建程序文件夹：%1</source>
        <translation>Cannot create the program folder: %1</translation>
    </message>
    <message>
        <source>无法复制数据文件：%1</source>
        <translation>Cannot copy the data file: %1</translation>
    </message>
</context>
<context>
    <name>RegionCommand</name>
    <message>
        <source>用法：vornx [--data-dir 文件夹] --region 电话号码</source>
        <translation>Usage: vornx [--data-dir FOLDER] --region NUMBER</translation>
    </message>
    <message>
        <source>电话号码只能由数字组成：%1</source>
        <translation>A telephone number has digits only: %1</translation>
    </message>
</context>
<context>
    <name>RegionQuery</name>
    <message>
        <source>本地号码</source>
        <translation>Local number</translation>
    </message>
    <message>
        <source>系统中无此号码记录，请提交给软件作者</source>
        <translation>This number is not in the region table; please report it to the program&apos;s author</translation>
    </message>
</context>
<context>
    <name>RegionQueryWindow</name>
    <message>
        <source>号码归属查询</source>
        <translation>Number Region Lookup</translation>
    </message>
    <message>
        <source>输入您需要查询的电话，可以是手机或固定电话号码         </source>
        <translation>Enter the number to look up, a mobile or a landline number         </translation>
    </message>
    <message>
        <source>电话号码  </source>
        <translation>Number  </translation>
    </message>
    <message>
        <source>号码归属  </source>
        <translation>Region  </translation>
    </message>
    <message>
        <source>查询(&amp;Q)</source>
        <translation>&amp;Look up</translation>
    </message>
    <message>
        <source>其他信息</source>
        <translation>More information</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>RegionTable</name>
    <message>
        <source>RegionRecord类Code字段为空</source>
        <translation>RegionRecord: the Code field is empty</translation>
    </message>
    <message>
        <source>RegionRecord类Code字段过长</source>
        <translation>RegionRecord: the Code field is too long</translation>
    </message>
    <message>
        <source>RegionRecord类District字段过长</source>
        <translation>RegionRecord: the District field is too long</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>无效的端口号 %1</source>
        <translation>Invalid port number %1</translation>
    </message>
    <message>
        <source>COM%1: 端口已经打开</source>
        <translation>COM%1: the port is already open</translation>
    </message>
    <message>
        <source>COM%1: 没有对应的串口设备</source>
        <translation>COM%1: no serial device behind this port</translation>
    </message>
    <message>
        <source>COM%1: 端口没有打开</source>
        <translation>COM%1: the port is not open</translation>
    </message>
</context>
<context>
    <name>SimulatedLineConfigDialog</name>
    <message>
        <source>模拟线路配置</source>
        <translation>Simulated Line Configuration</translation>
    </message>
    <message>
        <source>0 表示呼出成功；其他值为线路错误码，例如 0x80000048</source>
        <translation>0 means the outgoing call succeeds; any other value is a line error code, for example 0x80000048</translation>
    </message>
    <message>
        <source>线路设备:</source>
        <translation>Line device:</translation>
    </message>
    <message>
        <source>线路名称:</source>
        <translation>Line name:</translation>
    </message>
    <message>
        <source>服务提供商:</source>
        <translation>Service provider:</translation>
    </message>
    <message>
        <source>交换信息:</source>
        <translation>Switch information:</translation>
    </message>
    <message>
        <source>呼出应答码:</source>
        <translation>Outgoing call answer:</translation>
    </message>
    <message>
        <source>配置文件: %1
来电模拟: simline offer %2 &lt;号码&gt;</source>
        <translation>Settings file: %1
Test call: simline offer %2 &lt;number&gt;</translation>
    </message>
    <message>
        <source>呼出应答码应为 0 或线路错误码，例如 0x80000048。</source>
        <translation>The outgoing call answer must be 0 or a line error code, for example 0x80000048.</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>无法创建锁文件“%1”：%2</source>
        <translation>Cannot create the lock file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>SipLineConfigDialog</name>
    <message>
        <source>仅监听（不注册，由交换机或语音网关直接送来电）</source>
        <translation>Listen only (no registration; the PBX or VoIP gateway sends calls directly)</translation>
    </message>
    <message>
        <source>SIP线路配置</source>
        <translation>SIP Line Configuration</translation>
    </message>
    <message>
        <source>空则为域名，例如 sip:pbx.example.com:5060</source>
        <translation>Empty: the domain, for example sip:pbx.example.com:5060</translation>
    </message>
    <message>
        <source>空则自动选择；仅监听时为 127.0.0.1</source>
        <translation>Empty: chosen automatically; 127.0.0.1 when listening only</translation>
    </message>
    <message>
        <source>仅监听时交换机或语音网关的地址，以逗号分隔</source>
        <translation>When listening only: addresses of the PBX or VoIP gateway, separated by commas</translation>
    </message>
    <message>
        <source>用户名:</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>域名:</source>
        <translation>Domain:</translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>注册服务器:</source>
        <translation>Registrar:</translation>
    </message>
    <message>
        <source>传输协议:</source>
        <translation>Transport:</translation>
    </message>
    <message>
        <source>本机端口:</source>
        <translation>Local port:</translation>
    </message>
    <message>
        <source>本机地址:</source>
        <translation>Local address:</translation>
    </message>
    <message>
        <source>允许的来电地址:</source>
        <translation>Allowed caller addresses:</translation>
    </message>
    <message>
        <source>注册状态: %1
配置文件: %2
本程序只显示来电，不传送通话声音。</source>
        <translation>Registration: %1
Settings file: %2
This program only shows who calls; it carries no call audio.</translation>
    </message>
    <message>
        <source>以下不是IP地址: %1</source>
        <translation>These are not IP addresses: %1</translation>
    </message>
    <message>
        <source>请填写用户名和域名，或选择仅监听。</source>
        <translation>Please enter the user name and the domain, or choose listen only.</translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>SipLineProvider</name>
    <message>
        <source>不是普通文件</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>文件过大（%1 字节，最多 %2 字节）</source>
        <translation>File too large (%1 bytes, at most %2 bytes)</translation>
    </message>
    <message>
        <source>accounts: %1 个账号，最多 %2 个</source>
        <translation>accounts: %1 accounts, at most %2</translation>
    </message>
    <message>
        <source>未配置</source>
        <translation>Not configured</translation>
    </message>
    <message>
        <source>未注册</source>
        <translation>Not registered</translation>
    </message>
    <message>
        <source>注册失败: 无法解析 %1</source>
        <translation>Registration failed: cannot resolve %1</translation>
    </message>
    <message>
        <source>端口 %1:%2 无法使用</source>
        <translation>Port %1:%2 cannot be used</translation>
    </message>
    <message>
        <source>仅监听</source>
        <translation>Listening only</translation>
    </message>
    <message>
        <source>已注册</source>
        <translation>Registered</translation>
    </message>
    <message>
        <source>注册失败: %1 %2</source>
        <translation>Registration failed: %1 %2</translation>
    </message>
    <message>
        <source>本机端口 %1</source>
        <translation>Local port %1</translation>
    </message>
    <message>
        <source>; 已拒绝 %1 个来自未知地址的呼叫</source>
        <translation>; %1 calls from unknown addresses refused</translation>
    </message>
    <message>
        <source>SIP组件缺失，线路不可用: %1</source>
        <translation>SIP component missing, line unavailable: %1</translation>
    </message>
</context>
<context>
    <name>SmallFile</name>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation>Cannot read &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation>&quot;%1&quot; is not a regular file</translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation>&quot;%1&quot; is too large (%2 bytes, at most %3 bytes)</translation>
    </message>
    <message>
        <source>“%1”太大（最多 %2 字节）</source>
        <translation>&quot;%1&quot; is too large (at most %2 bytes)</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>无法播放声音: %1</source>
        <translation>Cannot play sounds: %1</translation>
    </message>
</context>
<context>
    <name>StatementRunner</name>
    <message>
        <source>数据库操作失败!</source>
        <translation>Database error!</translation>
    </message>
</context>
<context>
    <name>TapiDevices</name>
    <message>
        <source>TAPI线路: #</source>
        <translation>TAPI line: #</translation>
    </message>
    <message>
        <source>TAPI线路名称: </source>
        <translation>TAPI line name: </translation>
    </message>
    <message>
        <source>TAPI服务提供商名称: </source>
        <translation>TAPI service provider: </translation>
    </message>
    <message>
        <source>TAPI转换信息: </source>
        <translation>TAPI switch information: </translation>
    </message>
    <message>
        <source>固定的线路标识: </source>
        <translation>Permanent line ID: </translation>
    </message>
    <message>
        <source>字符串格式: </source>
        <translation>String format: </translation>
    </message>
    <message>
        <source>与本线路相关联的地址数目: </source>
        <translation>Addresses on this line: </translation>
    </message>
    <message>
        <source>最大数据传输率: </source>
        <translation>Maximum data rate: </translation>
    </message>
    <message>
        <source>支持的载荷模式:</source>
        <translation>Supported bearer modes:</translation>
    </message>
    <message>
        <source>支持的地址模式</source>
        <translation>Supported address modes</translation>
    </message>
    <message>
        <source>支持的媒体形式</source>
        <translation>Supported media modes</translation>
    </message>
    <message>
        <source>是否支持Line Tone Generation: 是</source>
        <translation>Line tone generation supported: yes</translation>
    </message>
    <message>
        <source>是否支持Line Tone Generation: 否</source>
        <translation>Line tone generation supported: no</translation>
    </message>
    <message>
        <source>是否支持语音呼叫: 是</source>
        <translation>Voice calls supported: yes</translation>
    </message>
    <message>
        <source>是否支持语音呼叫: 否</source>
        <translation>Voice calls supported: no</translation>
    </message>
    <message>
        <source>线路终端数目: </source>
        <translation>Terminals on this line: </translation>
    </message>
    <message>
        <source>没有有效的TAPI线路选中</source>
        <translation>No valid TAPI line selected</translation>
    </message>
</context>
<context>
    <name>TelephonyLine</name>
    <message>
        <source>所要求得资源（如串行口）已经分配给另一个进程了</source>
        <translation>The requested resource (such as a serial port) is already allocated to another process</translation>
    </message>
    <message>
        <source>指定的设备ID超出范围</source>
        <translation>The device ID is out of range</translation>
    </message>
    <message>
        <source>指定的模式超出范围</source>
        <translation>The mode is out of range</translation>
    </message>
    <message>
        <source>在这个地址目前没有可用的呼叫出现</source>
        <translation>No call appearance is available at this address now</translation>
    </message>
    <message>
        <source>服务提供者不支持等待付费得音频$</source>
        <translation>The service provider does not support waiting for billing tone ($)</translation>
    </message>
    <message>
        <source>服务提供者不支持等待拨号的音频W</source>
        <translation>The service provider does not support waiting for dial tone (W)</translation>
    </message>
    <message>
        <source>服务提供者不支持等待提示符？</source>
        <translation>The service provider does not support waiting for a prompt (?)</translation>
    </message>
    <message>
        <source>服务提供者不支持等待静默@</source>
        <translation>The service provider does not support waiting for quiet (@)</translation>
    </message>
    <message>
        <source>指定的版本号不兼容</source>
        <translation>The version number is incompatible</translation>
    </message>
    <message>
        <source>指定的扩展号不兼容</source>
        <translation>The extension number is incompatible</translation>
    </message>
    <message>
        <source>初始化文件错误</source>
        <translation>Error in the initialisation file</translation>
    </message>
    <message>
        <source>指定的线路正在使用</source>
        <translation>The line is in use</translation>
    </message>
    <message>
        <source>指定的地址包含无效字符</source>
        <translation>The address contains invalid characters</translation>
    </message>
    <message>
        <source>指定的地址超出范围</source>
        <translation>The address is out of range</translation>
    </message>
    <message>
        <source>无效的地址模式</source>
        <translation>Invalid address mode</translation>
    </message>
    <message>
        <source>无效的地址状态</source>
        <translation>Invalid address state</translation>
    </message>
    <message>
        <source>指定的应用程序句柄失无效的</source>
        <translation>The application handle is invalid</translation>
    </message>
    <message>
        <source>指定的呼叫对请求动作来说未处于正确地呼叫状态</source>
        <translation>The call is not in the right call state for the requested action</translation>
    </message>
    <message>
        <source>指定的国家代码是无效的</source>
        <translation>The country code is invalid</translation>
    </message>
    <message>
        <source>指定的线路句柄无效</source>
        <translation>The line handle is invalid</translation>
    </message>
    <message>
        <source>指定的媒体模式无效</source>
        <translation>The media mode is invalid</translation>
    </message>
    <message>
        <source>有一个参数已被确定为无效的</source>
        <translation>A parameter was found to be invalid</translation>
    </message>
    <message>
        <source>指针没有引用一个有效的内存位置</source>
        <translation>A pointer does not refer to valid memory</translation>
    </message>
    <message>
        <source>服务提供者发现它的一个组件丢失了</source>
        <translation>The service provider found one of its components missing</translation>
    </message>
    <message>
        <source>没有足够的内存用于所请求的动作</source>
        <translation>Not enough memory for the requested action</translation>
    </message>
    <message>
        <source>所请求的动作被拒绝，因为应用程序并不拥有这个呼叫</source>
        <translation>The action was refused because the application does not own the call</translation>
    </message>
    <message>
        <source>因不明原因，请求失败</source>
        <translation>The request failed for an unknown reason</translation>
    </message>
    <message>
        <source>服务提供者不支持此请求</source>
        <translation>The service provider does not support this request</translation>
    </message>
    <message>
        <source>没有足够的资源完成此请求</source>
        <translation>Not enough resources to complete the request</translation>
    </message>
    <message>
        <source>指定的结构太小而不能包含定长数据</source>
        <translation>The structure is too small to hold the fixed data</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>未知的语言“%1”，--lang 只能是 zh 或 en。</source>
        <translation>Unknown language &quot;%1&quot;; --lang is zh or en.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>维诺星已经在运行！</source>
        <translation>Vornx is already running!</translation>
    </message>
    <message>
        <source>维诺星系列－来电显示</source>
        <translation>Vornx Caller ID</translation>
    </message>
</context>
</TS>
