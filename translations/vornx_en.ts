<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AccessMirror</name>
    <message>
        <source>找不到 Access 数据库文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法建立数据缓存文件夹：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存数据缓存文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取 Access 数据库文件（文件损坏或不是 Access 数据库）：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取 Access 数据库的表目录：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取表“%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制 Access 数据库失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AreaCodeFile</name>
    <message>
        <source>电话号码归属查询数据中有%1条记录无效，已跳过（%2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话号码归属查询数据无法打开！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”太大（最多 %2 字节）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallLog</name>
    <message>
        <source>日志文件无法打开或创建！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallSheetPainter</name>
    <message>
        <source>项目</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>客户资料</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  来电记录单  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印时间：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>维诺星系列－来电显示  </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallSheetPrinter</name>
    <message>
        <source>来电记录单打印</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印机不存在或未就绪，未能打印！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallerIdReport</name>
    <message>
        <source>号码: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无号码: 私人号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无号码: 号码不可用</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallerLookup</name>
    <message>
        <source>请重新设置数据源参数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>来电号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>来电时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>客户姓名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>家庭地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>性    别</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>生    日</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>邮件地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>附    注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯薄文件中有%1张名片无法读取，已跳过。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库中没有对应来电的通讯资料信息！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯薄中没有对应来电的通讯资料信息！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库无法打开，未能查找来电资料！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库操作失败，未能查找来电资料！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库操作失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CallerWindow</name>
    <message>
        <source>直接打印(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印预览(&amp;U)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打印设置(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无详细信息!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLineHelp</name>
    <message>
        <source>用法：vornx [--data-dir 文件夹] [--region 电话号码]
维诺星系列－来电显示：监视电话线路，显示来电号码的地区和客户资料，并记录每一个来电。

选项：
  --data-dir 文件夹    程序文件夹（设置、区号表、通话记录、声音、帮助）；
                       新的或空的文件夹会先复制进随程序提供的文件。
                       也可由环境变量 VORNX_DATA_DIR 指定。
  --region 电话号码    显示该号码所在的地区后退出，不打开窗口。
  -h, --help           显示本帮助后退出。
  --version            显示版本后退出。

程序文件夹：%1
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConnectionString</name>
    <message>
        <source>连接字符串格式错误：第 %1 段缺少“=”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串格式错误：第 %1 段缺少名称。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串格式错误：“%1”的值缺少结束引号。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串格式错误：“%1”的引号后还有文字。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串没有指定数据提供程序（Provider）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不支持的数据提供程序“%1”（可用：MSDASQL.1、Microsoft.Jet.OLEDB.4.0、SQLite）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串缺少数据源（Data Source）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串的数据源（Data Source）为空。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ContactDialog</name>
    <message>
        <source>姓名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>附注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>商务电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回拨电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>住宅电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主要电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>商务电话 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>移动电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无线电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>车载电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>其他电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>寻呼机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>助理电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>住宅电话 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司总机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TTY/TDD 电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>女</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>男</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>姓(&amp;L)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名(&amp;F)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示名称(&amp;D)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电子邮件(&amp;M)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司(&amp;C)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>性别(&amp;G)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>生日(&amp;B)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加号码(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除号码(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>街道：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>城市：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>省/自治区：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>邮政编码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>国家/地区：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>家庭地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请填写联系人的姓名或显示名称。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>生日请按“年-月-日”填写，例如 1980-05-17。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯薄中已没有这个联系人。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 属性</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建联系人</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ContactStore</name>
    <message>
        <source>无法读取通讯薄文件 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件太大（%1 字节，最多 %2 字节）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件太大（%1 字节以上，最多 %2 字节）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯薄中已没有这个联系人。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这个联系人已被其他程序修改或删除，修改没有保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存通讯薄文件 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ContactsWindow</name>
    <message>
        <source>通讯薄</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入姓名或号码查找</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建联系人(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>属性(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>姓名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公司</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电子邮件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找(&amp;F)：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>共 %1 个联系人&#x3000;文件：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataSourceSettings</name>
    <message>
        <source>%1，来电查询按默认设置（通讯薄）进行。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”不是设置文件（没有可读的节），来电查询按默认设置（通讯薄）进行。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”中 [TABLESET] 的 FIELDNUM=%2 超出范围（0 到 %3），按 %4 个字段读取。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataSourceWriter</name>
    <message>
        <source>找不到模板文件“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法复制模板文件“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1过长（%2 字节），最多 %3 字节。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接字符串</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>客户资料查询语句</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>业务记录查询语句</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字段标题“%1”</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbConnection</name>
    <message>
        <source>找不到 SQLite 数据库文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库驱动不可用。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据库连接未打开。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找不到表“%1”或表中没有字段。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbDataSet</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>语句没有返回记录集。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据集未打开，无法执行此操作。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找不到字段“%1”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字段序号 %1 超出范围。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据集中没有记录。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbQuery</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DbTable</name>
    <message>
        <source>没有指定数据库连接。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>%1（正在读取…）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1（最近 %2 次来电，更早的 %3 次未列出）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineMonitorLog</name>
    <message>
        <source>收</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模拟来电</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineMonitorWindow</name>
    <message>
        <source>线路监视</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>来电号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模拟来电</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>号码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存线路监视记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存线路监视记录: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineProviderSetup</name>
    <message>
        <source>NCID 服务器线路的配置文件有误，请在线路配置中重新填写：
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT 网络线路的配置文件有误，请在线路配置中重新填写：
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>线路监视</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入自动启动项“%1”，下次不会按此设置自动启动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置无法保存到“%1”，下次启动时仍使用原来的设置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1，按默认设置运行。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有可用的TAPI线路，来电监控没有启动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开TAPI线路，来电监控没有启动：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TAPI线路已被关闭，来电监控已停止。请按“监控”重新开始。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回拨失败：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面通知(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>来电：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示资料</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在监控来电：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未在监控来电</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备已断开，来电监控已停止：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MqttLineConfigDialog</name>
    <message>
        <source>使用 TLS 加密（校验服务器证书）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT 网络线路配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主题前缀:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>客户端标识:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CA 证书文件:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>心跳间隔(秒):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接状态: %1
配置文件: %2
本机的来电也发布到同一服务器。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主题前缀不能为空，也不能含有 # 或 +。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用 TLS 时请填写 CA 证书文件。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MqttLineProvider</name>
    <message>
        <source>未配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MQTT 服务器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接被拒绝: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NcidLineConfigDialog</name>
    <message>
        <source>NCID 服务器线路配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接状态: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NcidLineProvider</name>
    <message>
        <source>未配置服务器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接被拒绝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口号无效: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NCID 服务器</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>文件夹不属于当前用户或其他用户可写</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法使用文件夹“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrivateProfile</name>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”不是文本文件（应为 GBK 或 UTF-8 编码）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>无法创建程序文件夹：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法复制数据文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegionCommand</name>
    <message>
        <source>用法：vornx [--data-dir 文件夹] --region 电话号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话号码只能由数字组成：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegionQuery</name>
    <message>
        <source>本地号码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统中无此号码记录，请提交给软件作者</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegionQueryWindow</name>
    <message>
        <source>号码归属查询</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输入您需要查询的电话，可以是手机或固定电话号码         </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话号码  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>号码归属  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查询(&amp;Q)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>其他信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegionTable</name>
    <message>
        <source>RegionRecord类Code字段为空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RegionRecord类Code字段过长</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RegionRecord类District字段过长</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>无效的端口号 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COM%1: 端口已经打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COM%1: 没有对应的串口设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COM%1: 端口没有打开</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SimulatedLineConfigDialog</name>
    <message>
        <source>模拟线路配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 表示呼出成功；其他值为线路错误码，例如 0x80000048</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>线路设备:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>线路名称:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务提供商:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>交换信息:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>呼出应答码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置文件: %1
来电模拟: simline offer %2 &lt;号码&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>呼出应答码应为 0 或线路错误码，例如 0x80000048。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>无法创建锁文件“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SipLineConfigDialog</name>
    <message>
        <source>仅监听（不注册，由交换机或语音网关直接送来电）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SIP线路配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空则为域名，例如 sip:pbx.example.com:5060</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空则自动选择；仅监听时为 127.0.0.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>仅监听时交换机或语音网关的地址，以逗号分隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>域名:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注册服务器:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>传输协议:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本机端口:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本机地址:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>允许的来电地址:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注册状态: %1
配置文件: %2
本程序只显示来电，不传送通话声音。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>以下不是IP地址: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请填写用户名和域名，或选择仅监听。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SmallFile</name>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”太大（%2 字节，最多 %3 字节）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”太大（最多 %2 字节）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>未知的语言“%1”，--lang 只能是 zh 或 en。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
