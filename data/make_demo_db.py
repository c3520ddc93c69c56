#!/usr/bin/env python3
"""Writes the demo customer database and the data-source settings that point at it, so
that a fresh build shows a caller's record without the user's own database.

demo.db    - SQLite: Unit (customers) and BillIndex (their business records)
Vornx.ini  - query type 2 on demo.db (GBK, as the program reads it)

The content is made up and the same on every run (fixed seed). The first two customers are
the demo caller that the simulated line rings with.
usage: make_demo_db.py OUTDIR [CUSTOMERS]
"""
import random
import sqlite3
import sys
from datetime import date, timedelta
from pathlib import Path

DEMO_CALLER = ("福州闽江茶业有限公司", "林建华", "059187654321", "13905911234",
               "福建省福州市鼓楼区五四路158号", "茶叶、干货")
# The demo caller's warehouse gave the same mobile number, so the demo call has two matches.
DEMO_BRANCH = ("福州闽江茶业有限公司仓山仓库", "林建华", "059183321456", "13905911234",
               "福建省福州市仓山区建设路66号", "茶叶")

# Area codes with the cities and districts used for addresses.
CITIES = [
    ("010", "北京市", ["朝阳区", "海淀区", "东城区", "丰台区"]),
    ("021", "上海市", ["浦东新区", "徐汇区", "静安区", "闵行区"]),
    ("020", "广东省广州市", ["天河区", "越秀区", "海珠区", "白云区"]),
    ("0755", "广东省深圳市", ["福田区", "南山区", "罗湖区", "宝安区"]),
    ("0591", "福建省福州市", ["鼓楼区", "台江区", "仓山区", "晋安区"]),
    ("0592", "福建省厦门市", ["思明区", "湖里区", "集美区"]),
    ("0571", "浙江省杭州市", ["西湖区", "上城区", "拱墅区", "滨江区"]),
    ("025", "江苏省南京市", ["玄武区", "鼓楼区", "建邺区", "秦淮区"]),
    ("027", "湖北省武汉市", ["江汉区", "武昌区", "洪山区"]),
    ("028", "四川省成都市", ["锦江区", "武侯区", "青羊区", "成华区"]),
    ("023", "重庆市", ["渝中区", "江北区", "南岸区"]),
    ("0531", "山东省济南市", ["历下区", "市中区", "天桥区"]),
]
MOBILE_PREFIXES = ["139", "138", "137", "136", "135", "150", "151", "158", "186", "189", "133", "188"]
SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何林罗高郑梁谢宋唐许韩冯邓曹彭曾肖田董潘袁蔡蒋余于杜叶程魏苏吕丁沈"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华建国志红文斌辉鹏飞燕玲婷雪梅海波宇浩"
TRADE_WORDS = ["鑫源", "华泰", "恒通", "宏达", "永盛", "金川", "瑞丰", "新星", "博远", "嘉禾", "东升", "万象",
               "天成", "汇丰", "正大", "远航", "协力", "富康", "长青", "利民", "佳美", "兴业", "信诚", "广源"]
INDUSTRIES = [
    ("贸易", ["办公用品", "日用百货", "五金工具"]),
    ("电子", ["电子元件", "电脑配件", "网络设备"]),
    ("食品", ["茶叶", "干货", "饮料"]),
    ("建材", ["瓷砖", "涂料", "卫浴洁具"]),
    ("服装", ["工作服", "床上用品", "布料"]),
    ("印刷", ["包装盒", "宣传画册", "不干胶标签"]),
    ("机械", ["电机", "轴承", "阀门"]),
    ("医药", ["医疗器械", "保健品", "药用耗材"]),
]
SUFFIXES = ["有限公司", "有限责任公司", "商行", "经营部", "股份有限公司"]
ROADS = ["人民路", "解放路", "中山路", "建设路", "长江路", "和平路", "新华路", "文化路", "东风路", "科技路"]
NOTES = ["老客户，按月结账", "需开增值税发票", "送货前先电话联系", "周末不收货", "", "", "", "VIP客户"]
UNITS = {"办公用品": ("箱", 80, 600), "日用百货": ("件", 5, 120), "五金工具": ("套", 30, 800),
         "电子元件": ("盘", 20, 400), "电脑配件": ("个", 50, 1500), "网络设备": ("台", 200, 5000),
         "茶叶": ("斤", 80, 1200), "干货": ("箱", 60, 500), "饮料": ("箱", 30, 120),
         "瓷砖": ("平方米", 40, 300), "涂料": ("桶", 150, 900), "卫浴洁具": ("套", 300, 4000),
         "工作服": ("套", 60, 300), "床上用品": ("套", 100, 900), "布料": ("米", 10, 90),
         "包装盒": ("千个", 200, 1500), "宣传画册": ("本", 3, 30), "不干胶标签": ("卷", 20, 150),
         "电机": ("台", 500, 6000), "轴承": ("个", 10, 300), "阀门": ("个", 30, 900),
         "医疗器械": ("台", 800, 20000), "保健品": ("盒", 50, 600), "药用耗材": ("箱", 100, 900)}

LABELS = ["客户名称", "联 系 人", "电    话", "手    机", "地    址", "主营业务", "备    注"]


def customers(count, rng):
    yield DEMO_CALLER + ("老客户，按月结账",)
    yield DEMO_BRANCH + ("送货前先电话联系",)
    used = {DEMO_CALLER[2], DEMO_CALLER[3], DEMO_BRANCH[2]}
    count -= 2
    while count > 0:
        code, city, districts = rng.choice(CITIES)
        trade, goods = rng.choice(INDUSTRIES)
        name = city[-3:-1] if city.endswith("市") and len(city) > 3 else city[:2]
        company = name + rng.choice(TRADE_WORDS) + trade + rng.choice(SUFFIXES)
        contact = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.choice([1, 2])))
        local_len = 8 if len(code) == 3 else 7
        phone = code + str(rng.randint(2, 8)) + "".join(str(rng.randint(0, 9)) for _ in range(local_len - 1))
        mobile = rng.choice(MOBILE_PREFIXES) + "".join(str(rng.randint(0, 9)) for _ in range(8))
        if phone in used or mobile in used:
            continue
        used.update((phone, mobile))
        if rng.random() < 0.15:
            mobile = ""  # not every customer gave a mobile number
        address = "%s%s%s%d号" % (city, rng.choice(districts), rng.choice(ROADS), rng.randint(1, 399))
        yield (company, contact, phone, mobile, address, "、".join(rng.sample(goods, 2)), rng.choice(NOTES))
        count -= 1


def main():
    out = Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    out.mkdir(parents=True, exist_ok=True)
    rng = random.Random(20040506)

    db_path = out / "demo.db"
    tmp = out / "demo.db.tmp"
    tmp.unlink(missing_ok=True)
    con = sqlite3.connect(tmp)
    con.executescript("""
        create table Unit (ID integer primary key, Name text, Linkman text, Phone text, PhoneMove text,
                           Address text, Business text, Remark text);
        create table BillIndex (UnitID integer, 单号 text, 日期 text, 品名 text, 数量 integer, 单位 text,
                                单价 real, 金额 real, 经手人 text);
        create index BillIndexUnit on BillIndex (UnitID);
    """)
    start = date(2003, 1, 1)
    bill = 0
    for uid, row in enumerate(customers(count, rng), 1):
        con.execute("insert into Unit values (?,?,?,?,?,?,?,?)", (uid,) + row)
        goods = [g for g in row[5].split("、")]
        clerk = rng.choice(SURNAMES) + rng.choice(GIVEN)
        day = start + timedelta(days=rng.randint(0, 60))
        for _ in range(rng.randint(2, 8)):
            bill += 1
            item = rng.choice(goods)
            unit, low, high = UNITS[item]
            qty = rng.randint(1, 50)
            price = round(rng.uniform(low, high), 2)
            con.execute("insert into BillIndex values (?,?,?,?,?,?,?,?,?)",
                        (uid, "XS%06d" % bill, day.isoformat(), item, qty, unit, price, round(qty * price, 2), clerk))
            day += timedelta(days=rng.randint(5, 90))
    con.commit()
    con.close()
    tmp.replace(db_path)

    # Written the way the mapping wizard writes an external source.
    select = ", ".join(["Name", "Linkman", "Phone", "PhoneMove", "Address", "Business", "Remark"])
    lines = [
        "[QUERYTYPE]",
        "TYPE=2",
        "[DBSET]",
        "ConnectString=Provider=SQLite;Data Source=demo.db",
        "strSQL=select %s from Unit b where  b.Phone like '%%#NO#' or b.PhoneMove like '%%#NO#' " % select,
        "strSQL1=select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and ",
        "[TABLESET]",
    ] + ["FIELD%d=%s" % (k, label) for k, label in enumerate(LABELS)] + ["FIELDNUM=%d" % len(LABELS)]
    (out / "Vornx.ini").write_bytes(("\r\n".join(lines) + "\r\n").encode("gbk"))


if __name__ == "__main__":
    main()
